#include "lknet/Socket.h"

#include <cstring>

namespace lknet
{

Socket& Socket::operator=(Socket&& other) noexcept
{
    if (this != &other)
    {
        close();
        fd_ = other.release();
    }
    return *this;
}

int Socket::release()
{
    int fd = fd_;
    fd_ = -1;
    return fd;
}

void Socket::close()
{
    if (fd_ >= 0)
        sys::closeSocket(fd_);
    fd_ = -1;
}

sockaddr_in makeAddress(uint32_t hostOrderAddress, uint16_t port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(hostOrderAddress);
    address.sin_port = htons(port);
    return address;
}

bool parseAddress(const std::string& text, uint16_t port, sockaddr_in* out)
{
    *out = makeAddress(0, port);
    return inet_pton(AF_INET, text.c_str(), &out->sin_addr) == 1;
}

std::string addressText(const sockaddr_in& address)
{
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
    return text;
}

namespace
{

IoResult failure()
{
    return IoResult{-1, sys::lastError()};
}

int newSocket(int type)
{
    return sys::openSocket(type);
}

} // namespace

IoResult openDiscoverySocket(uint32_t bindAddress, uint16_t port, Socket* out)
{
    Socket s(newSocket(SOCK_DGRAM));
    if (!s.valid())
        return failure();
    int on = 1;
    // Every process on the host shares the port: broadcasts reach each socket
    // bound with SO_REUSEADDR (SO_REUSEPORT would spread them over the sockets).
    if (sys::setOption(s.fd(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        sys::setOption(s.fd(), SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0)
        return failure();
    // A thousand servers answer a query within 100 ms: the default buffer holds a few hundred of
    // their datagrams, and every one dropped is a speaker listed only at its next announcement.
    // The system may grant less (net.core.rmem_max); what it grants is enough to go on with.
    int buffer = kDiscoveryReceiveBuffer;
    (void)sys::setOption(s.fd(), SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
    sockaddr_in address = makeAddress(bindAddress, port);
    if (::bind(s.fd(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return failure();
    *out = std::move(s);
    return {};
}

IoResult openListener(uint32_t bindAddress, Socket* out, uint16_t* port)
{
    Socket s(newSocket(SOCK_STREAM));
    if (!s.valid())
        return failure();
    sockaddr_in address = makeAddress(bindAddress, 0);
    if (::bind(s.fd(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(s.fd(), 64) != 0)
        return failure();
    sys::AddressLength length = sizeof address;
    if (getsockname(s.fd(), reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return failure();
    *port = ntohs(address.sin_port);
    *out = std::move(s);
    return {};
}

void setStreamOptions(int fd)
{
    int on = 1;
    sys::setOption(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

IoResult startConnect(const sockaddr_in& to, Socket* out)
{
    Socket s(newSocket(SOCK_STREAM));
    if (!s.valid())
        return failure();
    setStreamOptions(s.fd());
    int rc = ::connect(s.fd(), reinterpret_cast<const sockaddr*>(&to), sizeof to);
    if (rc != 0 && !sys::connectPending(sys::lastError()))
        return failure();
    *out = std::move(s);
    return IoResult{rc == 0 ? 1 : 0, 0};
}

int connectResult(int fd)
{
    int error = 0;
    sys::AddressLength length = sizeof error;
    if (sys::getOption(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
        return sys::lastError();
    return sys::fromSystemError(error);
}

IoResult acceptConnection(int listener, Socket* out, sockaddr_in* peer)
{
    int fd = sys::acceptSocket(listener, peer);
    if (fd < 0)
        return failure();
    setStreamOptions(fd);
    *out = Socket(fd);
    return IoResult{fd, 0};
}

} // namespace lknet
