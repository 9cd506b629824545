#include "lknet/Poller.h"

#include <algorithm>
#include <cerrno>

#ifdef __linux__
#include <sys/epoll.h>
#include <unistd.h>
#endif

namespace lknet
{

Poller::~Poller()
{
    close();
}

int Poller::open()
{
#ifdef __linux__
    if (epoll_ >= 0)
        return 0;
    epoll_ = ::epoll_create1(EPOLL_CLOEXEC);
    if (epoll_ < 0)
        return errno;
    slots_.clear();
    registered_.clear();
#endif
    return 0;
}

void Poller::close()
{
#ifdef __linux__
    if (epoll_ >= 0)
        ::close(epoll_);
#endif
    epoll_ = -1;
    slots_.clear();
    registered_.clear();
    wanted_.clear();
    wantedOwner_.clear();
    ready_.clear();
}

void Poller::begin()
{
    ++turn_;
    wanted_.clear();
    wantedOwner_.clear();
}

void Poller::want(int fd, short events, uint64_t key, void* owner)
{
    if (fd < 0)
        return;
    wanted_.push_back(sys::pollEntry(fd, events));
    wantedOwner_.push_back(owner);
    if (epoll_ < 0)
        return;
    if (size_t(fd) >= slots_.size())
        slots_.resize(size_t(fd) + 1);
    Slot& slot = slots_[size_t(fd)];
    if (!slot.registered || slot.key != key || slot.events != events)
        change(fd, slot, events, key);
    slot.owner = owner;
    slot.turn = turn_;
}

void Poller::change(int fd, Slot& slot, short events, uint64_t key)
{
#ifdef __linux__
    epoll_event event{};
    // poll() and epoll share the values of these bits on Linux.
    event.events = uint32_t(events & (POLLIN | POLLOUT));
    event.data.fd = fd;
    // A socket of another key under a number still registered: the old one was closed, which took
    // it out of the set, or it is still in (a descriptor shared with a child process); either way
    // the registration is made anew for the new socket.
    const bool fresh = !slot.registered || slot.key != key;
    int result = ::epoll_ctl(epoll_, fresh && !slot.registered ? EPOLL_CTL_ADD : EPOLL_CTL_MOD, fd, &event);
    if (result != 0 && errno == ENOENT)
        result = ::epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &event);
    else if (result != 0 && errno == EEXIST)
        result = ::epoll_ctl(epoll_, EPOLL_CTL_MOD, fd, &event);
    if (!slot.registered && result == 0)
        registered_.push_back(fd);
    slot.registered = result == 0 || slot.registered;
    slot.key = key;
    slot.events = result == 0 ? events : short(0);
#else
    (void)fd;
    (void)slot;
    (void)events;
    (void)key;
#endif
}

void Poller::end()
{
#ifdef __linux__
    if (epoll_ < 0)
        return;
    // Sockets not wanted this turn leave the set. A closed one has left it already, and its
    // number may now belong to a socket that is none of ours: the error is expected then.
    auto stale = [&](int fd)
    {
        Slot& slot = slots_[size_t(fd)];
        if (slot.turn == turn_)
            return false;
        ::epoll_ctl(epoll_, EPOLL_CTL_DEL, fd, nullptr);
        slot = Slot{};
        return true;
    };
    registered_.erase(std::remove_if(registered_.begin(), registered_.end(), stale), registered_.end());
#endif
}

int Poller::wait(int timeoutMs)
{
    ready_.clear();
#ifdef __linux__
    if (epoll_ >= 0)
    {
        epoll_event events[kMaxReadyPerWait];
        int count = ::epoll_wait(epoll_, events, kMaxReadyPerWait, timeoutMs);
        if (count < 0)
            return errno == EINTR ? 0 : -1;
        for (int i = 0; i < count; ++i)
        {
            const int fd = events[i].data.fd;
            if (fd < 0 || size_t(fd) >= slots_.size() || slots_[size_t(fd)].turn != turn_)
                continue;
            ready_.push_back({fd, short(events[i].events & (POLLIN | POLLOUT | POLLERR | POLLHUP)),
                              slots_[size_t(fd)].owner});
        }
        // More ready than one call takes: the rest are still ready (the set is level-triggered)
        // and come with the next call.
        return int(ready_.size());
    }
#endif
    int count = sys::pollSockets(wanted_.data(), wanted_.size(), timeoutMs);
    if (count < 0)
        return sys::lastError() == EINTR ? 0 : -1;
    for (size_t i = 0; i < wanted_.size() && count > 0; ++i)
    {
        if (wanted_[i].revents)
            ready_.push_back({sys::pollSocket(wanted_[i]), wanted_[i].revents, wantedOwner_[i]});
    }
    return int(ready_.size());
}

} // namespace lknet
