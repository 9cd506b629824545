#include "tessel/DescriptorPoller.h"

#include <poll.h>

#include <utility>
#include <vector>

namespace Tessel
{

bool DescriptorPoller::watch(int fd, Callback onReadable)
{
    if (fd < 0 || !onReadable)
        return false;
    watched[fd] = Entry{std::move(onReadable), nextSerial++};
    return true;
}

void DescriptorPoller::unwatch(int fd)
{
    watched.erase(fd);
}

int DescriptorPoller::poll()
{
    if (watched.empty())
        return 0;
    std::vector<pollfd> fds;
    std::vector<uint64_t> serials;
    fds.reserve(watched.size());
    for (const auto& [fd, entry] : watched)
    {
        fds.push_back(pollfd{fd, POLLIN, 0});
        serials.push_back(entry.serial);
    }
    if (::poll(fds.data(), fds.size(), 0) <= 0)
        return 0;
    int called = 0;
    for (size_t i = 0; i < fds.size(); ++i)
    {
        if (!(fds[i].revents & (POLLIN | POLLERR | POLLHUP)))
            continue;
        // A callback may have unwatched this descriptor, or unwatched it and watched it anew.
        auto it = watched.find(fds[i].fd);
        if (it == watched.end() || it->second.serial != serials[i])
            continue;
        Callback callback = it->second.callback; // a copy: the callback may unwatch itself
        callback();
        ++called;
    }
    return called;
}

} // namespace Tessel
