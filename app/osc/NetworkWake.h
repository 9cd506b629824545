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
// idle turn: watches the network library's sockets through the platform's descriptor watcher and
// processes the library when one is readable. A speaker's echo of a remote-control change then
// reaches the watchers at once. The sockets are looked at again on every idle turn (connections
// come and go) and after every processing.
//
// While packets keep arriving (meters of many speakers) the wake steps aside: a second wake within
// kGapMs leaves the sockets to the idle turn, which watches them again afterwards, so a busy
// network costs at most one extra processing per idle period. GUI thread only.
class NetworkWake
{
public:
    static constexpr int64_t kGapMs = 2;

    // `network` is not owned and must outlive this object (null: the library's manager).
    explicit NetworkWake(lknet::INetworkManager* network = nullptr);
    ~NetworkWake();
    NetworkWake(const NetworkWake&) = delete;
    NetworkWake& operator=(const NetworkWake&) = delete;

private:
    void refresh();
    void onReadable();
    void unwatchAll();

    lknet::INetworkManager* network;
    std::set<int> watched;
    Tessel::IdleClient idle;
    int64_t lastWake = -kGapMs;
};

} // namespace Vellaris::Osc
