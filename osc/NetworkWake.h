#pragma once

#include <cstdint>
#include <set>

#include "tessel/IdleClient.h"

namespace lknet
{
class INetworkManager;
}

namespace Vellaris::Osc
{

// Lets the speaker network's packets be handled the moment they arrive instead of at the next
// idle turn: processes the network library when one of its sockets is readable. A speaker's echo
// of a remote-control change then reaches the watchers at once. The sockets are looked at again
// on every idle turn (connections come and go) and after every processing.
//
// The platform watches the descriptors the library names. On Linux the library names one, its
// epoll set, so a desk with hundreds of speakers keeps one notifier in the event loop, and stepping
// aside costs one call instead of one per speaker.
//
// While packets keep arriving (meters of many speakers) the wake steps aside: a second wake within
// kGapMs leaves the sockets to the idle turns, and the wake tries again on the next one. When it
// finds the network busy again and again, each rest is twice the last (from kFirstRestMs up to
// kRestMs), so a fleet that never pauses costs about one extra processing per kRestMs, while a
// desk with a few speakers is back to waking at once after one idle turn. A packet waits at most
// one idle period, as it would without the wake. GUI thread only.
class NetworkWake
{
public:
    static constexpr int64_t kGapMs = 2;
    static constexpr int64_t kFirstRestMs = 10;
    static constexpr int64_t kRestMs = 100;
    // Busy again within this time after a rest ended: the next rest is longer.
    static constexpr int64_t kBusyAgainMs = 50;

    // `network` is not owned and must outlive this object (null: the library's manager).
    explicit NetworkWake(lknet::INetworkManager* network = nullptr);
    ~NetworkWake();
    NetworkWake(const NetworkWake&) = delete;
    NetworkWake& operator=(const NetworkWake&) = delete;

    // Whether the platform is watching for readable sockets now (false while stepping aside).
    bool isArmed() const { return armed; }

private:
    void onIdle();
    void refresh();
    void onReadable();
    void arm();
    void disarm();

    lknet::INetworkManager* network;
    std::set<int> sockets; // the library's descriptors, as last looked at
    bool armed = false;
    Tessel::IdleClient idle;
    int64_t lastWake = -kGapMs;
    int64_t restUntil = 0;
    int64_t rest = 0;
    int64_t lastBusy = -kRestMs - kBusyAgainMs;
};

} // namespace Vellaris::Osc
