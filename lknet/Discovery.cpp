#include "lknet/Discovery.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <sys/socket.h>

#include <cerrno>

namespace lknet
{

namespace
{
constexpr uint32_t kLoopbackBroadcast = 0x7FFFFFFF; // 127.255.255.255
// Interfaces come and go (a cable, a Wi-Fi join); look again this often.
constexpr uint64_t kTargetsRefreshMs = 5000;
} // namespace

int Discovery::open(uint16_t port, bool loopbackOnly)
{
    port_ = port;
    loopbackOnly_ = loopbackOnly;
    haveTargets_ = false;
    IoResult result = openDiscoverySocket(loopbackOnly ? kLoopbackBroadcast : INADDR_ANY, port, &socket_);
    return result.error;
}

std::vector<sockaddr_in> Discovery::broadcastTargets(uint16_t port, bool loopbackOnly)
{
    std::vector<sockaddr_in> targets;
    if (!loopbackOnly)
    {
        ifaddrs* list = nullptr;
        if (getifaddrs(&list) == 0)
        {
            for (ifaddrs* i = list; i; i = i->ifa_next)
            {
                if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET || !i->ifa_broadaddr)
                    continue;
                if (!(i->ifa_flags & IFF_UP) || !(i->ifa_flags & IFF_BROADCAST) ||
                    (i->ifa_flags & IFF_LOOPBACK))
                    continue;
                uint32_t broadcast = ntohl(reinterpret_cast<sockaddr_in*>(i->ifa_broadaddr)->sin_addr.s_addr);
                if (broadcast == INADDR_BROADCAST || broadcast == 0 || (broadcast >> 24) == 127)
                    continue;
                bool seen = false;
                for (const sockaddr_in& t : targets)
                    seen = seen || ntohl(t.sin_addr.s_addr) == broadcast;
                if (!seen)
                    targets.push_back(makeAddress(broadcast, port));
            }
            freeifaddrs(list);
        }
    }
    targets.push_back(makeAddress(kLoopbackBroadcast, port));
    return targets;
}

void Discovery::broadcast(const DiscoveryMessage& message, uint64_t now)
{
    if (!socket_.valid())
        return;
    if (!haveTargets_ || now - targetsTime_ >= kTargetsRefreshMs)
    {
        targets_ = broadcastTargets(port_, loopbackOnly_);
        targetsTime_ = now;
        haveTargets_ = true;
    }
    uint8_t buffer[kAnnounceSize];
    size_t length = encodeDiscovery(buffer, message);
    for (const sockaddr_in& target : targets_)
        ::sendto(socket_.fd(), buffer, length, MSG_DONTWAIT, reinterpret_cast<const sockaddr*>(&target),
                 sizeof target);
}

bool Discovery::receive(DiscoveryMessage* message, std::string* from, bool* valid)
{
    if (!socket_.valid())
        return false;
    uint8_t buffer[kAnnounceSize + 1];
    sockaddr_in source{};
    socklen_t length = sizeof source;
    for (;;)
    {
        ssize_t n = ::recvfrom(socket_.fd(), buffer, sizeof buffer, MSG_DONTWAIT,
                               reinterpret_cast<sockaddr*>(&source), &length);
        if (n < 0)
        {
            if (errno == EINTR)
                continue;
            return false; // nothing waiting (or an ICMP error not worth keeping)
        }
        *from = addressText(source);
        *valid = decodeDiscovery(buffer, static_cast<size_t>(n), message);
        return true;
    }
}

} // namespace lknet
