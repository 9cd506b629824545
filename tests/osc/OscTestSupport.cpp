#include "tests/osc/OscTestSupport.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>

#include "osc/OscArgument.h"

namespace OscTest
{

std::vector<char> encode(const std::string& path, const std::vector<std::pair<char, std::string>>& args)
{
    lo_message message = lo_message_new();
    for (const auto& [type, text] : args)
    {
        switch (type)
        {
        case 'i':
            lo_message_add_int32(message, std::atoi(text.c_str()));
            break;
        case 'h':
            lo_message_add_int64(message, std::atoll(text.c_str()));
            break;
        case 'f':
            lo_message_add_float(message, std::strtof(text.c_str(), nullptr));
            break;
        case 'd':
            lo_message_add_double(message, std::strtod(text.c_str(), nullptr));
            break;
        case 'T':
            lo_message_add_true(message);
            break;
        case 'F':
            lo_message_add_false(message);
            break;
        case 'N':
            lo_message_add_nil(message);
            break;
        default:
            lo_message_add_string(message, text.c_str());
            break;
        }
    }
    size_t size = 0;
    void* bytes = lo_message_serialise(message, path.c_str(), nullptr, &size);
    std::vector<char> out(static_cast<char*>(bytes), static_cast<char*>(bytes) + size);
    std::free(bytes);
    lo_message_free(message);
    return out;
}

Reply decode(const void* data, size_t size)
{
    Reply reply;
    std::vector<char> copy(static_cast<const char*>(data), static_cast<const char*>(data) + size);
    int result = 0;
    lo_message message = lo_message_deserialise(copy.data(), copy.size(), &result);
    if (!message)
        return reply;
    reply.path = lo_get_path(copy.data(), ssize_t(copy.size()));
    const char* types = lo_message_get_types(message);
    lo_arg** argv = lo_message_get_argv(message);
    reply.types = types;
    for (int i = 0; i < lo_message_get_argc(message); ++i)
    {
        switch (types[i])
        {
        case LO_INT32:
            reply.args.push_back(std::to_string(Vellaris::Osc::argumentInt32(argv[i])));
            if (i == 0)
                reply.integer = Vellaris::Osc::argumentInt32(argv[i]);
            break;
        case LO_FLOAT:
            reply.args.push_back(std::to_string(Vellaris::Osc::argumentFloat(argv[i])));
            if (i == 0)
                reply.number = Vellaris::Osc::argumentFloat(argv[i]);
            break;
        case LO_STRING:
            reply.args.emplace_back(Vellaris::Osc::argumentText(argv[i]));
            break;
        default:
            reply.args.emplace_back();
        }
    }
    lo_message_free(message);
    return reply;
}

LoopbackSocket::LoopbackSocket()
{
    fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
}

LoopbackSocket::~LoopbackSocket()
{
    ::close(fd);
}

void LoopbackSocket::sendTo(int toPort, const std::vector<char>& bytes) const
{
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(uint16_t(toPort));
    ::sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
}

bool LoopbackSocket::receive(Reply& reply, std::string* raw) const
{
    pollfd watch{fd, POLLIN, 0};
    if (::poll(&watch, 1, 2000) != 1)
        return false;
    char buffer[65536];
    ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
    if (got <= 0)
        return false;
    reply = decode(buffer, size_t(got));
    if (raw)
        raw->assign(buffer, size_t(got));
    return true;
}

int freePort()
{
    LoopbackSocket probe;
    return probe.port;
}

DeskUnderTest::DeskUnderTest()
    : desk(
          [this](const Vellaris::Osc::OscPeer& to, const void* data, size_t size)
          {
              recipients.push_back(to.key);
              replies.push_back(decode(data, size));
              everySent.append(static_cast<const char*>(data), size);
          })
{
}

Vellaris::Osc::OscPeer DeskUnderTest::peer(const std::string& key) const
{
    Vellaris::Osc::OscPeer peer;
    peer.key = key;
    return peer;
}

std::vector<Reply> DeskUnderTest::send(const std::string& path,
                                       const std::vector<std::pair<char, std::string>>& args,
                                       const std::string& from)
{
    return sendBytes(encode(path, args), from);
}

std::vector<Reply> DeskUnderTest::sendBytes(const std::vector<char>& bytes, const std::string& from)
{
    desk.handlePacket(bytes.data(), bytes.size(), peer(from));
    return take();
}

std::vector<Reply> DeskUnderTest::take()
{
    std::vector<Reply> out;
    out.swap(replies);
    return out;
}

} // namespace OscTest
