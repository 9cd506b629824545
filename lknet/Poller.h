#pragma once

#include "lknet/SocketApi.h"

#include <cstdint>
#include <vector>

namespace lknet
{

// Which of the network manager's sockets are ready. Each turn the manager describes the whole
// set it wants to hear of (begin, want for every socket, end) and then waits or asks what is
// ready. On Linux the set is an epoll set kept in step with that description: only a socket
// that came, went or changed what it waits for costs a system call, and asking is as cheap for
// two thousand sockets (a desk mirroring a thousand speakers) as for ten. Elsewhere it is one
// poll() over every socket (WSAPoll on Windows).
//
// A socket is known by its descriptor and a key that is unique for the life of the manager (a
// connection's serial number, a server's handle): a closed descriptor whose number comes back
// for another socket has another key, so the new socket is registered afresh.
class Poller
{
public:
    struct Ready
    {
        int fd = -1;
        short revents = 0;
        void* owner = nullptr;
    };

    // At most this many sockets are reported by one wait().
    static constexpr int kMaxReadyPerWait = 256;

    Poller() = default;
    ~Poller();
    Poller(const Poller&) = delete;
    Poller& operator=(const Poller&) = delete;

    // Opens the set (the epoll instance); 0 or an errno value. A closed poller polls.
    int open();
    void close();

    // The description of one turn: every socket wanted, with what it waits for (POLLIN,
    // POLLOUT) and an owner handed back with its readiness. A socket not wanted in a turn is
    // forgotten at end().
    void begin();
    void want(int fd, short events, uint64_t key, void* owner);
    void end();

    // Waits at most timeoutMs (0: only looks) for the sockets of the last description; the
    // number ready (their list in ready()), or -1 on an error.
    int wait(int timeoutMs);
    const std::vector<Ready>& ready() const { return ready_; }

    // One descriptor that is readable whenever a wanted socket is ready, for an outside event
    // loop to watch in place of every socket; -1 when there is none (the poll() form), and the
    // caller watches every socket itself.
    int signalDescriptor() const { return epoll_; }
    // The sockets of the last description, for the poll() form of outside waiting.
    const std::vector<pollfd>& wanted() const { return wanted_; }

private:
    struct Slot
    {
        uint64_t key = 0;
        void* owner = nullptr;
        uint32_t turn = 0;
        short events = 0;
        bool registered = false;
    };
    void change(int fd, Slot& slot, short events, uint64_t key);

    int epoll_ = -1;
    uint32_t turn_ = 0;
    std::vector<Slot> slots_;        // by descriptor number
    std::vector<int> registered_;    // the descriptors in the epoll set
    std::vector<pollfd> wanted_;     // this turn's description
    std::vector<void*> wantedOwner_; // the owner of each entry of wanted_
    std::vector<Ready> ready_;
};

} // namespace lknet
