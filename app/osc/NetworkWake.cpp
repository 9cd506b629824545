#include "app/osc/NetworkWake.h"

#include <poll.h>
#include <unistd.h>

#if defined(__linux__)
#include <sys/epoll.h>
#endif

#include <algorithm>
#include <vector>

#include "lknet/lknet.h"
#include "tessel/IDescriptorWatcher.h"
#include "tessel/Platform.h"

namespace Vellaris::Osc
{

NetworkWake::NetworkWake(lknet::INetworkManager* network)
    : network(network ? network : lknet::LKGetNetworkManager()), idle([this] { onIdle(); })
{
#if defined(__linux__)
    epollFd = ::epoll_create1(EPOLL_CLOEXEC); // on failure: every socket watched on its own
#endif
    idle.start(0, true); // every idle turn
    onIdle();
}

NetworkWake::~NetworkWake()
{
    idle.stop();
    disarm();
    if (epollFd >= 0)
        ::close(epollFd);
}

void NetworkWake::onIdle()
{
    const int64_t now = Tessel::GetSystemTicks();
    refresh(now);
    if (!armed && now >= restUntil && !sockets.empty())
        arm();
}

void NetworkWake::refresh(int64_t now)
{
    std::vector<pollfd> fds;
    if (network->pollDescriptors(fds) < 0)
    {
        // The network is not running.
        disarm();
#if defined(__linux__)
        for (int fd : sockets)
            ::epoll_ctl(epollFd, EPOLL_CTL_DEL, fd, nullptr);
#endif
        sockets.clear();
        return;
    }
    std::set<int> wanted;
    for (const pollfd& fd : fds)
        if (fd.fd >= 0 && (fd.events & POLLIN))
            wanted.insert(fd.fd);
    if (epollFd >= 0)
    {
#if defined(__linux__)
        const bool resync = now >= nextResync;
        if (resync)
            nextResync = now + kResyncMs;
        // A closed socket has left the set by itself; the removal only fails then.
        for (int fd : sockets)
            if (!wanted.count(fd))
                ::epoll_ctl(epollFd, EPOLL_CTL_DEL, fd, nullptr);
        for (int fd : wanted)
            if (resync || !sockets.count(fd))
            {
                epoll_event event{};
                event.events = EPOLLIN;
                event.data.fd = fd;
                ::epoll_ctl(epollFd, EPOLL_CTL_ADD, fd, &event); // EEXIST: in the set already
            }
#endif
    }
    else if (armed)
    {
        Tessel::IDescriptorWatcher* watcher = Tessel::GetDescriptorWatcher();
        for (int fd : sockets)
            if (!wanted.count(fd))
                watcher->unwatch(fd);
        for (int fd : wanted)
            if (!sockets.count(fd))
                watcher->watch(fd, [this] { onReadable(); });
    }
    sockets = std::move(wanted);
}

void NetworkWake::onReadable()
{
    const int64_t now = Tessel::GetSystemTicks();
    if (now - lastWake < kGapMs)
    {
        // Busy: the idle turns process the library for a while.
        disarm();
        const bool again = now - lastBusy <= rest + kBusyAgainMs;
        rest = again ? std::clamp(rest * 2, kFirstRestMs, kRestMs) : 0;
        lastBusy = now;
        restUntil = now + rest;
        return;
    }
    lastWake = now;
    network->process();
    // The library may have closed sockets or opened new ones.
    refresh(now);
}

void NetworkWake::arm()
{
    armed = true;
    Tessel::IDescriptorWatcher* watcher = Tessel::GetDescriptorWatcher();
    if (epollFd >= 0)
    {
        watcher->watch(epollFd, [this] { onReadable(); });
        return;
    }
    for (int fd : sockets)
        watcher->watch(fd, [this] { onReadable(); });
}

void NetworkWake::disarm()
{
    if (!armed)
        return;
    armed = false;
    Tessel::IDescriptorWatcher* watcher = Tessel::GetDescriptorWatcher();
    if (epollFd >= 0)
    {
        watcher->unwatch(epollFd);
        return;
    }
    for (int fd : sockets)
        watcher->unwatch(fd);
}

} // namespace Vellaris::Osc
