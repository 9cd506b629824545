#include "lknet/SocketApi.h"

#include <cstring>

#ifdef _WIN32
#include <process.h>
#else
#include <fcntl.h>
#include <sys/uio.h>
#endif

namespace lknet::sys
{

#ifdef _WIN32

namespace
{

// Winsock's codes and the errno names lknet uses for them.
struct ErrorPair
{
    int system;
    int posix;
};
constexpr ErrorPair kErrors[] = {
    {WSAEINTR, EINTR},
    {WSAEBADF, EBADF},
    {WSAEACCES, EACCES},
    {WSAEFAULT, EFAULT},
    {WSAEINVAL, EINVAL},
    {WSAEMFILE, EMFILE},
    {WSAEWOULDBLOCK, EWOULDBLOCK},
    {WSAEINPROGRESS, EINPROGRESS},
    {WSAEALREADY, EALREADY},
    {WSAENOTSOCK, ENOTSOCK},
    {WSAEDESTADDRREQ, EDESTADDRREQ},
    {WSAEMSGSIZE, EMSGSIZE},
    {WSAEPROTOTYPE, EPROTOTYPE},
    {WSAENOPROTOOPT, ENOPROTOOPT},
    {WSAEPROTONOSUPPORT, EPROTONOSUPPORT},
    {WSAEOPNOTSUPP, EOPNOTSUPP},
    {WSAEAFNOSUPPORT, EAFNOSUPPORT},
    {WSAEADDRINUSE, EADDRINUSE},
    {WSAEADDRNOTAVAIL, EADDRNOTAVAIL},
    {WSAENETDOWN, ENETDOWN},
    {WSAENETUNREACH, ENETUNREACH},
    {WSAENETRESET, ENETRESET},
    {WSAECONNABORTED, ECONNABORTED},
    {WSAECONNRESET, ECONNRESET},
    {WSAENOBUFS, ENOBUFS},
    {WSAEISCONN, EISCONN},
    {WSAENOTCONN, ENOTCONN},
    {WSAETIMEDOUT, ETIMEDOUT},
    {WSAECONNREFUSED, ECONNREFUSED},
    {WSAELOOP, ELOOP},
    {WSAENAMETOOLONG, ENAMETOOLONG},
    {WSAEHOSTUNREACH, EHOSTUNREACH},
};

// The errno values lknet makes up itself, with the texts POSIX systems give them (the C runtime
// of Windows knows only the classic ones).
struct ErrorText
{
    int posix;
    const char* text;
};
constexpr ErrorText kOwnTexts[] = {
    {EPROTO, "Protocol error"},
};

} // namespace

bool initialize()
{
    static const bool ready = []
    {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return ready;
}

int fromSystemError(int code)
{
    for (const ErrorPair& pair : kErrors)
        if (pair.system == code)
            return pair.posix;
    return code;
}

int lastError()
{
    return fromSystemError(WSAGetLastError());
}

std::string errorText(int error)
{
    for (const ErrorText& own : kOwnTexts)
        if (own.posix == error)
            return own.text;
    int code = error;
    for (const ErrorPair& pair : kErrors)
        if (pair.posix == error)
            code = pair.system;
    if (code == error && error < 100)
        return std::strerror(error);
    char* text = nullptr;
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, DWORD(code), 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result = length && text ? std::string(text, length) : "Error " + std::to_string(code);
    if (text)
        LocalFree(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r' || result.back() == '.'))
        result.pop_back();
    return result;
}

bool connectPending(int error)
{
    // Winsock says "would block" where POSIX says "in progress".
    return error == EINPROGRESS || error == EWOULDBLOCK;
}

namespace
{

int madeNonBlocking(SOCKET s)
{
    if (s == INVALID_SOCKET)
        return -1;
    u_long on = 1;
    if (ioctlsocket(s, FIONBIO, &on) != 0)
    {
        const int error = WSAGetLastError();
        closesocket(s);
        WSASetLastError(error);
        return -1;
    }
    // Not inherited by programs this process starts.
    SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
    return static_cast<int>(s);
}

} // namespace

int openSocket(int type)
{
    if (!initialize())
    {
        WSASetLastError(WSASYSNOTREADY);
        return -1;
    }
    return madeNonBlocking(::socket(AF_INET, type, 0));
}

int acceptSocket(int listener, sockaddr_in* peer)
{
    int length = sizeof *peer;
    return madeNonBlocking(::accept(SOCKET(listener), reinterpret_cast<sockaddr*>(peer), &length));
}

int closeSocket(int fd)
{
    return ::closesocket(SOCKET(fd));
}

int setOption(int fd, int level, int name, const void* value, int length)
{
    return ::setsockopt(SOCKET(fd), level, name, static_cast<const char*>(value), length);
}

int getOption(int fd, int level, int name, void* value, AddressLength* length)
{
    return ::getsockopt(SOCKET(fd), level, name, static_cast<char*>(value), length);
}

long sendBytes(int fd, const void* data, size_t length)
{
    return ::send(SOCKET(fd), static_cast<const char*>(data), int(length), 0);
}

long sendSlices(int fd, const Slice* slices, int count)
{
    WSABUF buffers[kMaxSlices];
    count = count < kMaxSlices ? count : kMaxSlices;
    for (int i = 0; i < count; ++i)
    {
        buffers[i].buf = static_cast<char*>(const_cast<void*>(slices[i].data));
        buffers[i].len = ULONG(slices[i].length);
    }
    DWORD sent = 0;
    if (::WSASend(SOCKET(fd), buffers, DWORD(count), &sent, 0, nullptr, nullptr) != 0)
        return -1;
    return long(sent);
}

long receiveBytes(int fd, void* data, size_t length)
{
    return ::recv(SOCKET(fd), static_cast<char*>(data), int(length), 0);
}

long sendDatagram(int fd, const void* data, size_t length, const sockaddr_in& to)
{
    return ::sendto(SOCKET(fd), static_cast<const char*>(data), int(length), 0,
                    reinterpret_cast<const sockaddr*>(&to), sizeof to);
}

long receiveDatagram(int fd, void* data, size_t length, sockaddr_in* from)
{
    int fromLength = sizeof *from;
    return ::recvfrom(SOCKET(fd), static_cast<char*>(data), int(length), 0, reinterpret_cast<sockaddr*>(from),
                      &fromLength);
}

pollfd pollEntry(int fd, short events)
{
    pollfd entry{};
    entry.fd = SOCKET(fd);
    entry.events = events;
    return entry;
}

int pollSocket(const pollfd& entry)
{
    return static_cast<int>(entry.fd);
}

int pollSockets(pollfd* entries, size_t count, int timeoutMs)
{
    if (count == 0)
    {
        // WSAPoll refuses an empty set.
        if (timeoutMs > 0)
            Sleep(DWORD(timeoutMs));
        return 0;
    }
    return ::WSAPoll(entries, ULONG(count), timeoutMs);
}

unsigned long processId()
{
    return static_cast<unsigned long>(_getpid());
}

#else

bool initialize()
{
    return true;
}

int fromSystemError(int code)
{
    return code;
}

int lastError()
{
    return errno;
}

std::string errorText(int error)
{
    return std::strerror(error);
}

bool connectPending(int error)
{
    return error == EINPROGRESS;
}

int openSocket(int type)
{
    return ::socket(AF_INET, type | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
}

int acceptSocket(int listener, sockaddr_in* peer)
{
    socklen_t length = sizeof *peer;
    return ::accept4(listener, reinterpret_cast<sockaddr*>(peer), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
}

int closeSocket(int fd)
{
    return ::close(fd);
}

int setOption(int fd, int level, int name, const void* value, int length)
{
    return ::setsockopt(fd, level, name, value, socklen_t(length));
}

int getOption(int fd, int level, int name, void* value, AddressLength* length)
{
    return ::getsockopt(fd, level, name, value, length);
}

long sendBytes(int fd, const void* data, size_t length)
{
    return ::send(fd, data, length, MSG_NOSIGNAL | MSG_DONTWAIT);
}

long sendSlices(int fd, const Slice* slices, int count)
{
    iovec vectors[kMaxSlices];
    count = count < kMaxSlices ? count : kMaxSlices;
    for (int i = 0; i < count; ++i)
    {
        vectors[i].iov_base = const_cast<void*>(slices[i].data);
        vectors[i].iov_len = slices[i].length;
    }
    msghdr message{};
    message.msg_iov = vectors;
    message.msg_iovlen = size_t(count);
    return ::sendmsg(fd, &message, MSG_NOSIGNAL | MSG_DONTWAIT);
}

long receiveBytes(int fd, void* data, size_t length)
{
    return ::recv(fd, data, length, MSG_DONTWAIT);
}

long sendDatagram(int fd, const void* data, size_t length, const sockaddr_in& to)
{
    return ::sendto(fd, data, length, MSG_DONTWAIT, reinterpret_cast<const sockaddr*>(&to), sizeof to);
}

long receiveDatagram(int fd, void* data, size_t length, sockaddr_in* from)
{
    socklen_t fromLength = sizeof *from;
    return ::recvfrom(fd, data, length, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(from), &fromLength);
}

pollfd pollEntry(int fd, short events)
{
    return pollfd{fd, events, 0};
}

int pollSocket(const pollfd& entry)
{
    return entry.fd;
}

int pollSockets(pollfd* entries, size_t count, int timeoutMs)
{
    return ::poll(count ? entries : nullptr, nfds_t(count), timeoutMs);
}

unsigned long processId()
{
    return static_cast<unsigned long>(::getpid());
}

#endif

} // namespace lknet::sys
