#include "remote/ListenSettings.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <cctype>
#include <cstdlib>

namespace Vellaris::Remote
{

namespace
{
bool readPort(const std::string& text, int& port)
{
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > 65535)
        return false;
    port = int(value);
    return true;
}

bool isAddress(const std::string& text)
{
    in_addr v4;
    in6_addr v6;
    return inet_pton(AF_INET, text.c_str(), &v4) == 1 || inet_pton(AF_INET6, text.c_str(), &v6) == 1;
}

void applyPort(ListenSettings& settings, const std::string& text, const std::string& from)
{
    if (!readPort(text, settings.port))
        settings.warnings.push_back(from + " \"" + text + "\" is no port number (0 to 65535); using " +
                                    std::to_string(settings.port));
}

void applyBind(ListenSettings& settings, const std::string& text, const std::string& from)
{
    std::string address = text == "localhost" ? std::string(ListenSettings::kDefaultBind) : text;
    if (isAddress(address))
        settings.bind = address;
    else
        settings.warnings.push_back(from + " \"" + text + "\" is no IP address; listening on " +
                                    settings.bind);
}
} // namespace

ListenSettings readListenSettings(const std::string& name, int defaultPort,
                                  const std::vector<std::string>& arguments,
                                  const EnvironmentFunction& environment)
{
    ListenSettings settings;
    settings.port = defaultPort;
    std::string upper = name;
    for (char& c : upper)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    const std::string portVariable = "ROOMDESK_" + upper + "_PORT";
    const std::string bindVariable = "ROOMDESK_" + upper + "_BIND";
    const std::string portOption = "--" + name + "-port";
    const std::string bindOption = "--" + name + "-bind";
    auto variable = [&](const char* name) -> const char*
    { return environment ? environment(name) : std::getenv(name); };
    if (const char* port = variable(portVariable.c_str()); port && *port)
        applyPort(settings, port, portVariable);
    if (const char* bind = variable(bindVariable.c_str()); bind && *bind)
        applyBind(settings, bind, bindVariable);
    for (size_t i = 1; i < arguments.size(); ++i)
    {
        const std::string& arg = arguments[i];
        for (const std::string& option : {portOption, bindOption})
        {
            const std::string& name = option;
            std::string value;
            if (arg == name)
            {
                if (i + 1 >= arguments.size())
                {
                    settings.warnings.push_back(name + " needs a value");
                    break;
                }
                value = arguments[++i];
            }
            else if (arg.compare(0, name.size() + 1, name + "=") == 0)
                value = arg.substr(name.size() + 1);
            else
                continue;
            if (name == portOption)
                applyPort(settings, value, name);
            else
                applyBind(settings, value, name);
            break;
        }
    }
    return settings;
}

bool isLoopbackAddress(const std::string& address)
{
    in_addr v4;
    in6_addr v6;
    if (inet_pton(AF_INET, address.c_str(), &v4) == 1)
        return (ntohl(v4.s_addr) >> 24) == 127;
    if (inet_pton(AF_INET6, address.c_str(), &v6) == 1)
    {
        if (IN6_IS_ADDR_LOOPBACK(&v6))
            return true;
        // An IPv4 loopback address seen through an IPv6 socket (::ffff:127.x.y.z).
        return IN6_IS_ADDR_V4MAPPED(&v6) && v6.s6_addr[12] == 127;
    }
    return false;
}

} // namespace Vellaris::Remote
