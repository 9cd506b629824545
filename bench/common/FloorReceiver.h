#pragma once

// The floor of a desk's CPU: what merely receiving its speakers' traffic costs this machine. A
// mirror connects to every speaker and asks for every meter as the desk would; then a loop of its
// own (one epoll set, level-triggered, reads of up to 64 KB that end at the first short read)
// takes over the mirror's TCP connections and only reads and discards what arrives. A desk's CPU
// as a ratio to this floor holds across machines, where its percentage of a core does not.
//
// The loop sends nothing: the speakers keep a silent client for 4.5 s and the mirror's last
// heartbeat may be a second old, so one measurement lasts at most kFloorSeconds. The mirror must
// not run again afterwards: its byte streams are cut mid-frame.

#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "roomctl/MirrorSession.h"
#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerNetworkItem.h"
#include "speaker/SpeakerNetworkManager.h"

namespace FleetBench
{

constexpr double kFloorSeconds = 3.0;

struct Floor
{
    int connections = 0;
    double seconds = 0;
    double cpuPercent = 0;     // of one core
    double bytesPerSecond = 0; // what the loop read
    double readsPerSecond = 0; // recv() calls that returned bytes
    double senderCpuPercent = 0; // of the speakers' processes meanwhile, when asked for
};

inline double ownCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The connected TCP sockets of this process whose peer is on loopback: a mirror's connections to
// its speakers (listeners and UDP sockets have no peer).
inline std::vector<int> loopbackStreams()
{
    std::vector<int> fds;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error))
    {
        const int fd = std::atoi(entry.path().filename().c_str());
        int type = 0;
        socklen_t length = sizeof(type);
        if (::getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &length) != 0 || type != SOCK_STREAM)
            continue;
        sockaddr_storage peer{};
        socklen_t peerLength = sizeof(peer);
        if (::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerLength) != 0)
            continue;
        bool loopback = false;
        if (peer.ss_family == AF_INET)
            loopback = (ntohl(reinterpret_cast<sockaddr_in&>(peer).sin_addr.s_addr) >> 24) == 127;
        else if (peer.ss_family == AF_INET6)
            loopback = IN6_IS_ADDR_LOOPBACK(&reinterpret_cast<sockaddr_in6&>(peer).sin6_addr);
        if (loopback)
            fds.push_back(fd);
    }
    return fds;
}

// Reads and discards everything that arrives on `fds` for `seconds` (at most kFloorSeconds).
// `senderCpu`, when given, tells the CPU seconds the speakers' processes have used so far.
inline Floor receiveOnly(const std::vector<int>& fds, double seconds, const std::function<double()>& senderCpu = {})
{
    using Clock = std::chrono::steady_clock;
    Floor floor;
    floor.connections = int(fds.size());
    const int set = ::epoll_create1(EPOLL_CLOEXEC);
    if (set < 0)
        return floor;
    for (int fd : fds)
    {
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.fd = fd;
        ::epoll_ctl(set, EPOLL_CTL_ADD, fd, &event);
    }
    std::vector<char> buffer(64 * 1024);
    epoll_event ready[256];
    double bytes = 0, reads = 0;
    const double cpuStart = ownCpuSeconds();
    const double senderStart = senderCpu ? senderCpu() : 0;
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration<double>(std::min(seconds, kFloorSeconds));
    for (auto now = start; now < end; now = Clock::now())
    {
        const int wait = int(std::chrono::duration_cast<std::chrono::milliseconds>(end - now).count()) + 1;
        const int count = ::epoll_wait(set, ready, 256, wait);
        for (int i = 0; i < count; ++i)
        {
            for (;;)
            {
                const ssize_t got = ::recv(ready[i].data.fd, buffer.data(), buffer.size(), MSG_DONTWAIT);
                if (got <= 0)
                    break;
                bytes += double(got);
                reads += 1;
                if (size_t(got) < buffer.size())
                    break;
            }
        }
    }
    floor.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    floor.cpuPercent = 100.0 * (ownCpuSeconds() - cpuStart) / floor.seconds;
    floor.bytesPerSecond = bytes / floor.seconds;
    floor.readsPerSecond = reads / floor.seconds;
    if (senderCpu)
        floor.senderCpuPercent = 100.0 * (senderCpu() - senderStart) / floor.seconds;
    ::close(set);
    return floor;
}

// Asks every speaker the session mirrors for every meter view, as a window showing them all would.
inline void askEveryMeter(Vellaris::Tools::MirrorSession& session)
{
    Vellaris::SpeakerNetworkManager& manager = session.getManager();
    for (int i = 0; i < manager.countSpeakers(); ++i)
        for (int view = 0; view < Vellaris::SpeakerComponent::kMeterViews; ++view)
            manager.getSpeaker(i)->getSpeakerComponent()->getMeterView(view);
}

// A fresh mirror of `size` speakers with every meter asked for, then the floor over its
// connections. Nothing (connections 0) when the mirror does not reach them all within 60 s.
inline Floor measureFloor(int size, double seconds, const std::function<double()>& senderCpu = {})
{
    Vellaris::Tools::MirrorSession session;
    if (!session.isStarted())
        return {};
    const bool listed = session.getPlatform().runUntil(
        [&]
        {
            Vellaris::SpeakerNetworkManager& manager = session.getManager();
            if (manager.countSpeakers() < size)
                return false;
            for (int i = 0; i < manager.countSpeakers(); ++i)
                if (!Vellaris::Tools::MirrorSession::isSynchronized(manager.getSpeaker(i)))
                    return false;
            return true;
        },
        60000);
    if (!listed)
        return {};
    askEveryMeter(session);
    session.getPlatform().runFor(500); // the requests leave, the meters start
    return receiveOnly(loopbackStreams(), seconds, senderCpu);
}

} // namespace FleetBench
