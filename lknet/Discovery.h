#pragma once
// The discovery socket: one UDP port shared by every process on the host.
// Datagrams go to each interface's directed broadcast address and to
// 127.255.255.255, never to 255.255.255.255 and never unicast (only one of the
// sockets sharing the port would get a unicast datagram).

#include <cstdint>
#include <string>
#include <vector>

#include "lknet/Socket.h"
#include "lknet/WireFormat.h"

namespace lknet
{

class Discovery
{
public:
    // Binds the port; with loopbackOnly, binds 127.255.255.255 so only
    // broadcasts on the loopback interface arrive. 0 or the error number.
    int open(uint16_t port, bool loopbackOnly);
    void close() { socket_.close(); }
    int fd() const { return socket_.fd(); }
    uint16_t port() const { return port_; }

    // Broadcasts the message to every target address.
    void broadcast(const DiscoveryMessage& message, uint64_t now);
    // Receives one datagram. False when nothing is waiting; *valid tells
    // whether the datagram was one of ours.
    bool receive(DiscoveryMessage* message, std::string* from, bool* valid);

    // The broadcast addresses of the interfaces that are up (never
    // 255.255.255.255), then 127.255.255.255.
    static std::vector<sockaddr_in> broadcastTargets(uint16_t port, bool loopbackOnly);

private:
    Socket socket_;
    uint16_t port_ = 0;
    bool loopbackOnly_ = false;
    std::vector<sockaddr_in> targets_;
    uint64_t targetsTime_ = 0;
    bool haveTargets_ = false;
};

} // namespace lknet
