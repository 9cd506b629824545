#include "roomctl/DeskClient.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <lo/lo.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "osc/OscArgument.h"

namespace Vellaris::Tools
{

namespace
{
std::string argumentText(char type, lo_arg* arg)
{
    char text[64];
    switch (type)
    {
    case LO_INT32:
        return std::to_string(Osc::argumentInt32(arg));
    case LO_INT64:
        return std::to_string(Osc::argumentInt64(arg));
    case LO_FLOAT:
        std::snprintf(text, sizeof text, "%g", double(Osc::argumentFloat(arg)));
        return text;
    case LO_DOUBLE:
        std::snprintf(text, sizeof text, "%g", Osc::argumentDouble(arg));
        return text;
    case LO_STRING:
    case LO_SYMBOL:
        return Osc::argumentText(arg);
    case LO_TRUE:
        return "1";
    case LO_FALSE:
        return "0";
    default:
        return {};
    }
}
} // namespace

DeskClient::~DeskClient()
{
    if (fd >= 0)
        ::close(fd);
}

bool DeskClient::open(const std::string& host, int port)
{
    const std::string address = host == "localhost" ? std::string("127.0.0.1") : host;
    sockaddr_storage desk{};
    socklen_t length = 0;
    auto* v4 = reinterpret_cast<sockaddr_in*>(&desk);
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&desk);
    if (inet_pton(AF_INET, address.c_str(), &v4->sin_addr) == 1)
    {
        v4->sin_family = AF_INET;
        v4->sin_port = htons(uint16_t(port));
        length = sizeof *v4;
    }
    else if (inet_pton(AF_INET6, address.c_str(), &v6->sin6_addr) == 1)
    {
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(uint16_t(port));
        length = sizeof *v6;
    }
    else
    {
        error = host + " is no IP address";
        return false;
    }
    fd = ::socket(desk.ss_family, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    // Connected, so the socket takes answers from the desk only; the system picks the local port
    // on the interface that reaches the desk.
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&desk), length) != 0)
    {
        error = std::string("cannot reach ") + host + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool DeskClient::send(const std::string& path, const std::vector<std::string>& textArguments)
{
    lo_message message = lo_message_new();
    for (const std::string& text : textArguments)
        lo_message_add_string(message, text.c_str());
    size_t size = 0;
    void* bytes = lo_message_serialise(message, path.c_str(), nullptr, &size);
    lo_message_free(message);
    if (!bytes)
    {
        error = "\"" + path + "\" cannot be sent as an OSC address";
        return false;
    }
    ssize_t sent = ::send(fd, bytes, size, 0);
    std::free(bytes);
    if (sent != ssize_t(size))
    {
        error = std::string("cannot send: ") + std::strerror(errno);
        return false;
    }
    return true;
}

bool DeskClient::receive(DeskReply& reply, int64_t timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::vector<char> buffer(65536);
    for (;;)
    {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                          std::chrono::steady_clock::now());
        if (left.count() < 0)
            return false;
        pollfd watch{fd, POLLIN, 0};
        int ready = ::poll(&watch, 1, int(left.count()));
        if (ready < 0)
            return false; // interrupted: the caller decides whether to go on
        if (ready == 0)
            return false;
        ssize_t got = ::recv(fd, buffer.data(), buffer.size(), MSG_DONTWAIT);
        if (got < 0 && errno == ECONNREFUSED)
        {
            error = "nothing listens there";
            return false;
        }
        if (got <= 0)
            continue;
        const char* path = lo_get_path(buffer.data(), got);
        int result = 0;
        lo_message message = lo_message_deserialise(buffer.data(), size_t(got), &result);
        if (!path || !message)
        {
            if (message)
                lo_message_free(message);
            continue;
        }
        reply.path = path;
        const char* types = lo_message_get_types(message);
        lo_arg** argv = lo_message_get_argv(message);
        reply.types = types ? types : "";
        reply.arguments.clear();
        for (int i = 0; i < lo_message_get_argc(message); ++i)
            reply.arguments.push_back(argumentText(types[i], argv[i]));
        lo_message_free(message);
        return true;
    }
}

} // namespace Vellaris::Tools
