#pragma once
// Shared bits of the lknet benchmarks: a discovery scope of their own on
// loopback, clocks, and figures.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "lknet/lknet.h"

namespace lknet::bench
{

inline void useOwnDiscoveryScope()
{
    int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    ::setenv("LKNET_DISCOVERY_PORT", std::to_string(ntohs(address.sin_port)).c_str(), 1);
    ::setenv("LKNET_LOOPBACK_ONLY", "1", 1);
}

inline int64_t microseconds(clockid_t clock = CLOCK_MONOTONIC)
{
    timespec t{};
    clock_gettime(clock, &t);
    return int64_t(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
}

inline int64_t percentile(std::vector<int64_t> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    size_t index = size_t(p * double(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

// Pumps the manager until `done` holds or `ms` passed.
template <typename F> bool pumpUntil(F done, int ms)
{
    INetworkManager* net = LKGetNetworkManager();
    int64_t deadline = microseconds() + int64_t(ms) * 1000;
    while (microseconds() < deadline)
    {
        net->process();
        if (done())
            return true;
        net->wait(5);
    }
    return false;
}

} // namespace lknet::bench
