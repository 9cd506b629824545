#include "osc/NetworkWake.h"

#include <poll.h>

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
    idle.start(0, true); // every idle turn
    onIdle();
}

NetworkWake::~NetworkWake()
{
    idle.stop();
    disarm();
}

void NetworkWake::onIdle()
{
    const int64_t now = Tessel::GetSystemTicks();
    refresh();
    if (!armed && now >= restUntil && !sockets.empty())
        arm();
}

void NetworkWake::refresh()
{
    std::vector<pollfd> fds;
    if (network->pollDescriptors(fds) < 0)
    {
        // The network is not running.
        disarm();
        sockets.clear();
        return;
    }
    std::set<int> wanted;
    for (const pollfd& fd : fds)
        if (fd.fd >= 0 && (fd.events & POLLIN))
            wanted.insert(fd.fd);
    if (armed)
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
    refresh();
}

void NetworkWake::arm()
{
    armed = true;
    Tessel::IDescriptorWatcher* watcher = Tessel::GetDescriptorWatcher();
    for (int fd : sockets)
        watcher->watch(fd, [this] { onReadable(); });
}

void NetworkWake::disarm()
{
    if (!armed)
        return;
    armed = false;
    Tessel::IDescriptorWatcher* watcher = Tessel::GetDescriptorWatcher();
    for (int fd : sockets)
        watcher->unwatch(fd);
}

} // namespace Vellaris::Osc
