#include "osc/OscSettings.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <cstdlib>

namespace Vellaris::Osc
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

void applyPort(OscSettings& settings, const std::string& text, const std::string& from)
{
    if (!readPort(text, settings.port))
        settings.warnings.push_back(from + " \"" + text + "\" is no port number (0 to 65535); using " +
                                    std::to_string(settings.port));
}

void applyBind(OscSettings& settings, const std::string& text, const std::string& from)
{
    std::string address = text == "localhost" ? std::string(OscSettings::kDefaultBind) : text;
    if (isAddress(address))
        settings.bind = address;
    else
        settings.warnings.push_back(from + " \"" + text + "\" is no IP address; listening on " +
                                    settings.bind);
}
} // namespace

OscSettings readOscSettings(const std::vector<std::string>& arguments, const EnvironmentFunction& environment)
{
    OscSettings settings;
    auto variable = [&](const char* name) -> const char*
    { return environment ? environment(name) : std::getenv(name); };
    if (const char* port = variable("ROOMDESK_OSC_PORT"); port && *port)
        applyPort(settings, port, "ROOMDESK_OSC_PORT");
    if (const char* bind = variable("ROOMDESK_OSC_BIND"); bind && *bind)
        applyBind(settings, bind, "ROOMDESK_OSC_BIND");
    for (size_t i = 1; i < arguments.size(); ++i)
    {
        const std::string& arg = arguments[i];
        for (const char* option : {"--osc-port", "--osc-bind"})
        {
            const std::string name = option;
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
            if (name == "--osc-port")
                applyPort(settings, value, name);
            else
                applyBind(settings, value, name);
            break;
        }
    }
    return settings;
}

} // namespace Vellaris::Osc
