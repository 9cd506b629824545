#include "app/osc/NetworkWake.h"

#include <poll.h>

#include <vector>

#include "lknet/lknet.h"
#include "tessel/IDescriptorWatcher.h"
#include "tessel/Platform.h"

namespace Vellaris::Osc
{

NetworkWake::NetworkWake(lknet::INetworkManager* network)
    : network(network ? network : lknet::LKGetNetworkManager()), idle([this] { refresh(); })
{
    idle.start(0, true); // every idle turn
    refresh();
}

NetworkWake::~NetworkWake()
{
    idle.stop();
    unwatchAll();
}

void NetworkWake::refresh()
{
    std::vector<pollfd> fds;
    if (network->pollDescriptors(fds) < 0)
    {
        unwatchAll(); // the network is not running
        return;
    }
    std::set<int> wanted;
    for (const pollfd& fd : fds)
        if (fd.fd >= 0 && (fd.events & POLLIN))
            wanted.insert(fd.fd);
    Tessel::IDescriptorWatcher* watcher = Tessel::GetDescriptorWatcher();
    for (int fd : watched)
        if (!wanted.count(fd))
            watcher->unwatch(fd);
    for (int fd : wanted)
        if (!watched.count(fd))
            watcher->watch(fd, [this] { onReadable(); });
    watched = std::move(wanted);
}

void NetworkWake::onReadable()
{
    const int64_t now = Tessel::GetSystemTicks();
    if (now - lastWake < kGapMs)
    {
        // Busy: the idle turn processes the library and watches the sockets again.
        unwatchAll();
        return;
    }
    lastWake = now;
    network->process();
    // The library may have closed sockets or opened new ones.
    refresh();
}

void NetworkWake::unwatchAll()
{
    Tessel::IDescriptorWatcher* watcher = Tessel::GetDescriptorWatcher();
    for (int fd : watched)
        watcher->unwatch(fd);
    watched.clear();
}

} // namespace Vellaris::Osc
