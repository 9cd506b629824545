#pragma once
// A move-only owner of one socket descriptor, and the few socket calls lknet
// needs. Results carry their error number instead of a cached errno.

#include "lknet/SocketApi.h"

#include <cstdint>
#include <string>

namespace lknet
{

class Socket
{
public:
    Socket() = default;
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket() { close(); }
    Socket(Socket&& other) noexcept : fd_(other.release()) {}
    Socket& operator=(Socket&& other) noexcept;
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    int fd() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release();
    void close();

private:
    int fd_ = -1;
};

// Result of a socket call: the value (a descriptor or a count) or the error.
struct IoResult
{
    long value = 0;
    int error = 0; // errno, 0 on success
};

sockaddr_in makeAddress(uint32_t hostOrderAddress, uint16_t port);
bool parseAddress(const std::string& text, uint16_t port, sockaddr_in* out);
std::string addressText(const sockaddr_in& address);

// UDP socket for discovery: SO_REUSEADDR, SO_BROADCAST, non-blocking, bound.
// The discovery socket's receive buffer asked for (bytes).
constexpr int kDiscoveryReceiveBuffer = 4 * 1024 * 1024;
IoResult openDiscoverySocket(uint32_t bindAddress, uint16_t port, Socket* out);
// Listening TCP socket on an ephemeral port; writes the port chosen.
IoResult openListener(uint32_t bindAddress, Socket* out, uint16_t* port);
// Non-blocking connect; value 1 when already connected, 0 while in progress.
IoResult startConnect(const sockaddr_in& to, Socket* out);
// Completes a non-blocking connect: error 0 when connected.
int connectResult(int fd);
// Accepts one connection (non-blocking, TCP_NODELAY set).
IoResult acceptConnection(int listener, Socket* out, sockaddr_in* peer);
void setStreamOptions(int fd);

} // namespace lknet
