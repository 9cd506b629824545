#include "osc/OscServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tessel/IDescriptorWatcher.h"
#include "tessel/Platform.h"

namespace Vellaris::Osc
{

namespace
{
// One readable turn handles at most this many datagrams, so a flood cannot hold the loop; the
// watcher calls again while more are waiting.
constexpr int kDatagramsPerTurn = 64;
constexpr size_t kMaxDatagram = 65536;

std::string peerKey(const sockaddr_storage& address)
{
    char host[INET6_ADDRSTRLEN] = "";
    int port = 0;
    if (address.ss_family == AF_INET)
    {
        const auto* v4 = reinterpret_cast<const sockaddr_in*>(&address);
        inet_ntop(AF_INET, &v4->sin_addr, host, sizeof host);
        port = ntohs(v4->sin_port);
    }
    else if (address.ss_family == AF_INET6)
    {
        const auto* v6 = reinterpret_cast<const sockaddr_in6*>(&address);
        inet_ntop(AF_INET6, &v6->sin6_addr, host, sizeof host);
        port = ntohs(v6->sin6_port);
    }
    return std::string(host) + ":" + std::to_string(port);
}
} // namespace

OscServer::OscServer()
    : desk([this](const OscPeer& to, const void* data, size_t size) { sendReply(to, data, size); })
{
}

OscServer::~OscServer()
{
    stop();
}

bool OscServer::start(const OscSettings& settings)
{
    stop();
    if (settings.isOff())
    {
        status = "off";
        return true;
    }
    const std::string where = settings.bind + ":" + std::to_string(settings.port);
    sockaddr_storage address{};
    socklen_t length = 0;
    auto* v4 = reinterpret_cast<sockaddr_in*>(&address);
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&address);
    if (inet_pton(AF_INET, settings.bind.c_str(), &v4->sin_addr) == 1)
    {
        v4->sin_family = AF_INET;
        v4->sin_port = htons(uint16_t(settings.port));
        length = sizeof(sockaddr_in);
    }
    else if (inet_pton(AF_INET6, settings.bind.c_str(), &v6->sin6_addr) == 1)
    {
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(uint16_t(settings.port));
        length = sizeof(sockaddr_in6);
    }
    else
    {
        status = "off: " + settings.bind + " is no IP address";
        return false;
    }
    int socketFd = ::socket(address.ss_family, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (socketFd < 0)
    {
        status = std::string("off: no UDP socket (") + std::strerror(errno) + ")";
        return false;
    }
    // No SO_REUSEADDR: a second program on the port must be told, not share the messages.
    if (::bind(socketFd, reinterpret_cast<sockaddr*>(&address), length) != 0)
    {
        const int error = errno;
        ::close(socketFd);
        status = error == EADDRINUSE ? "off: UDP port " + where + " is in use"
                                     : "off: cannot listen on " + where + " (" + std::strerror(error) + ")";
        return false;
    }
    if (!Tessel::GetDescriptorWatcher()->watch(socketFd, [this] { onReadable(); }))
    {
        ::close(socketFd);
        status = "off: the event loop cannot watch the socket";
        return false;
    }
    fd = socketFd;
    status = where;
    return true;
}

void OscServer::stop()
{
    if (fd < 0)
        return;
    Tessel::GetDescriptorWatcher()->unwatch(fd);
    ::close(fd);
    fd = -1;
    status = "off";
}

void OscServer::onReadable()
{
    buffer.resize(kMaxDatagram);
    for (int i = 0; i < kDatagramsPerTurn && fd >= 0; ++i)
    {
        OscPeer from;
        from.length = sizeof from.address;
        ssize_t got = ::recvfrom(fd, buffer.data(), buffer.size(), MSG_DONTWAIT,
                                 reinterpret_cast<sockaddr*>(&from.address), &from.length);
        if (got < 0)
        {
            if (errno == EINTR)
                continue;
            return; // EAGAIN: nothing left; other errors (an ICMP report of a gone peer) also end the turn
        }
        from.key = peerKey(from.address);
        desk.handlePacket(buffer.data(), size_t(got), from);
    }
}

void OscServer::sendReply(const OscPeer& to, const void* data, size_t size)
{
    if (fd < 0)
        return;
    // Never waits: a reply that does not fit the socket's buffer now is dropped, as UDP may drop it.
    ::sendto(fd, data, size, MSG_DONTWAIT, reinterpret_cast<const sockaddr*>(&to.address), to.length);
}

} // namespace Vellaris::Osc
