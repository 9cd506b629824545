#pragma once
// Two connected stream sockets for tests of one connection, non-blocking: a socket pair where
// the system has one, a TCP connection over 127.0.0.1 on Windows. The bytes of the loopback
// connection may take a moment to cross; waitReadable() waits for them.

#include "lknet/SocketApi.h"

namespace lknet::test
{

inline bool makeSocketPair(int fds[2])
{
#ifdef _WIN32
    fds[0] = fds[1] = -1;
    if (!sys::initialize())
        return false;
    SOCKET listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    SOCKET a = INVALID_SOCKET, b = INVALID_SOCKET;
    // Small buffers, as a socket pair has: a test can fill the connection.
    const int buffer = 64 * 1024;
    auto shrink = [&](SOCKET s)
    {
        sys::setOption(int(s), SOL_SOCKET, SO_SNDBUF, &buffer, sizeof buffer);
        sys::setOption(int(s), SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
    };
    if (listener != INVALID_SOCKET)
        shrink(listener);
    if (listener != INVALID_SOCKET &&
        ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::listen(listener, 1) == 0 &&
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) == 0)
    {
        a = ::socket(AF_INET, SOCK_STREAM, 0);
        if (a != INVALID_SOCKET)
            shrink(a);
        if (a != INVALID_SOCKET && ::connect(a, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
            b = ::accept(listener, nullptr, nullptr);
    }
    if (listener != INVALID_SOCKET)
        ::closesocket(listener);
    if (b == INVALID_SOCKET)
    {
        if (a != INVALID_SOCKET)
            ::closesocket(a);
        return false;
    }
    u_long on = 1;
    ::ioctlsocket(a, FIONBIO, &on);
    ::ioctlsocket(b, FIONBIO, &on);
    fds[0] = static_cast<int>(a);
    fds[1] = static_cast<int>(b);
    return true;
#else
    return ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds) == 0;
#endif
}

inline long writeSocket(int fd, const void* data, size_t length)
{
    return sys::sendBytes(fd, data, length);
}

inline void closeSocket(int fd)
{
    sys::closeSocket(fd);
}

// Waits until the socket has something to read (or its peer closed); false after a generous
// deadline.
inline bool waitReadable(int fd)
{
    pollfd entry = sys::pollEntry(fd, POLLIN);
    return sys::pollSockets(&entry, 1, 10000) == 1;
}

} // namespace lknet::test
