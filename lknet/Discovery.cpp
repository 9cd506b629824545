#include "lknet/Discovery.h"

#ifdef _WIN32
#include <iphlpapi.h>
#else
#include <ifaddrs.h>
#include <net/if.h>
#endif

#include <cerrno>
#include <cstdlib>

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

namespace
{

void addTarget(std::vector<sockaddr_in>& targets, uint32_t broadcast, uint16_t port)
{
    if (broadcast == INADDR_BROADCAST || broadcast == 0 || (broadcast >> 24) == 127)
        return;
    for (const sockaddr_in& t : targets)
        if (ntohl(t.sin_addr.s_addr) == broadcast)
            return;
    targets.push_back(makeAddress(broadcast, port));
}

#ifdef _WIN32
// The directed broadcast address of every IPv4 address of the adapters that are up.
void addInterfaceTargets(std::vector<sockaddr_in>& targets, uint16_t port)
{
    ULONG size = 16 * 1024;
    for (int attempt = 0; attempt < 3; ++attempt)
    {
        auto* adapters = static_cast<IP_ADAPTER_ADDRESSES*>(std::malloc(size));
        if (!adapters)
            return;
        const ULONG flags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
        const ULONG result = GetAdaptersAddresses(AF_INET, flags, nullptr, adapters, &size);
        if (result == ERROR_SUCCESS)
        {
            for (IP_ADAPTER_ADDRESSES* a = adapters; a; a = a->Next)
            {
                if (a->OperStatus != IfOperStatusUp || a->IfType == IF_TYPE_SOFTWARE_LOOPBACK)
                    continue;
                for (IP_ADAPTER_UNICAST_ADDRESS* u = a->FirstUnicastAddress; u; u = u->Next)
                {
                    if (!u->Address.lpSockaddr || u->Address.lpSockaddr->sa_family != AF_INET ||
                        u->OnLinkPrefixLength == 0 || u->OnLinkPrefixLength >= 32)
                        continue;
                    const uint32_t address =
                        ntohl(reinterpret_cast<const sockaddr_in*>(u->Address.lpSockaddr)->sin_addr.s_addr);
                    const uint32_t host = 0xFFFFFFFFu >> u->OnLinkPrefixLength;
                    addTarget(targets, address | host, port);
                }
            }
        }
        std::free(adapters);
        if (result != ERROR_BUFFER_OVERFLOW)
            return;
    }
}
#else
void addInterfaceTargets(std::vector<sockaddr_in>& targets, uint16_t port)
{
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return;
    for (ifaddrs* i = list; i; i = i->ifa_next)
    {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET || !i->ifa_broadaddr)
            continue;
        if (!(i->ifa_flags & IFF_UP) || !(i->ifa_flags & IFF_BROADCAST) || (i->ifa_flags & IFF_LOOPBACK))
            continue;
        addTarget(targets, ntohl(reinterpret_cast<sockaddr_in*>(i->ifa_broadaddr)->sin_addr.s_addr), port);
    }
    freeifaddrs(list);
}
#endif

} // namespace

std::vector<sockaddr_in> Discovery::broadcastTargets(uint16_t port, bool loopbackOnly)
{
    std::vector<sockaddr_in> targets;
    if (!loopbackOnly)
        addInterfaceTargets(targets, port);
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
        sys::sendDatagram(socket_.fd(), buffer, length, target);
}

bool Discovery::receive(DiscoveryMessage* message, std::string* from, bool* valid)
{
    if (!socket_.valid())
        return false;
    uint8_t buffer[kAnnounceSize + 1];
    sockaddr_in source{};
    for (;;)
    {
        long n = sys::receiveDatagram(socket_.fd(), buffer, sizeof buffer, &source);
        if (n < 0)
        {
            if (sys::lastError() == EINTR)
                continue;
            return false; // nothing waiting (or an ICMP error not worth keeping)
        }
        *from = addressText(source);
        *valid = decodeDiscovery(buffer, static_cast<size_t>(n), message);
        return true;
    }
}

} // namespace lknet
