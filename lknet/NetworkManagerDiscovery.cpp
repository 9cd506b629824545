// Discovery and callbacks of the network manager: announcements of our own
// servers, the table of servers heard of, and the delivery of listener and
// error-reporter callbacks.

#include "lknet/NetworkManager.h"

#include <algorithm>

namespace lknet
{

namespace
{
// Bounds on what strangers can make us keep.
constexpr size_t kMaxRemoteServers = 1024;
constexpr int kMaxDatagramsPerProcess = 256;
} // namespace

void NetworkManager::readDiscovery(uint64_t now)
{
    DiscoveryMessage message;
    std::string from;
    bool valid = false;
    for (int n = 0; n < kMaxDatagramsPerProcess && discovery_.receive(&message, &from, &valid); ++n)
    {
        if (!valid)
            continue;
        switch (message.kind)
        {
        case DiscoveryKind::Query:
            for (auto& entry : servers_)
            {
                LocalServer& server = entry.second;
                if (server.answerAt == 0)
                    server.answerAt = now + random_() % (Timing::kQueryAnswerSpread + 1);
            }
            break;
        case DiscoveryKind::Announce:
            onAnnounce(message, from, now);
            break;
        case DiscoveryKind::Bye:
        {
            int handle = findRemoteByInstance(message.instance);
            if (handle)
                dropRemoteServer(handle);
            break;
        }
        }
    }
}

void NetworkManager::onAnnounce(const DiscoveryMessage& message, const std::string& from, uint64_t now)
{
    int handle = findRemoteByInstance(message.instance);
    if (handle)
    {
        // The same instance heard again, perhaps on another interface: one server.
        remotes_[handle].lastHeard = now;
        return;
    }
    if (remotes_.size() >= kMaxRemoteServers)
        return;
    RemoteServer remote;
    remote.instance = message.instance;
    remote.name = message.name;
    remote.deviceType = message.deviceType;
    remote.uid = message.uid;
    remote.serialNumber = message.serialNumber;
    remote.hostName = message.hostName;
    remote.address = from;
    remote.interfaceType = message.interfaceType;
    remote.port = message.tcpPort;
    remote.lastHeard = now;
    handle = newHandle();
    Event event;
    event.kind = Event::Available;
    event.server = handle;
    event.description = std::make_shared<const RemoteServer>(remote);
    remoteByInstance_[remote.instance] = handle;
    remoteExpiryCheck_ = std::min(remoteExpiryCheck_, now + Timing::kServerExpiry + 1);
    remotes_.emplace(handle, std::move(remote));
    queueEvent(std::move(event));
}

int NetworkManager::findRemoteByInstance(uint64_t instance) const
{
    auto found = remoteByInstance_.find(instance);
    return found == remoteByInstance_.end() ? 0 : found->second;
}

void NetworkManager::dropRemoteServer(int handle)
{
    auto remote = remotes_.find(handle);
    if (remote == remotes_.end())
        return;
    remoteByInstance_.erase(remote->second.instance);
    remotes_.erase(remote);
    for (auto& link : links_)
        if (!link->dead && link->role == Role::Client && link->server == handle)
            endLink(*link);
    Event event;
    event.kind = Event::Unavailable;
    event.server = handle;
    queueEvent(std::move(event));
}

void NetworkManager::announce(const LocalServer& server, uint64_t now)
{
    if (suspended_)
        return;
    DiscoveryMessage message;
    message.kind = DiscoveryKind::Announce;
    message.instance = server.instance;
    message.tcpPort = server.port;
    message.interfaceType = server.interfaceType;
    message.name = server.name;
    message.deviceType = server.deviceType;
    message.uid = server.uid;
    message.serialNumber = server.serialNumber;
    message.hostName = hostName_;
    discovery_.broadcast(message, now);
}

void NetworkManager::sendQuery(uint64_t now)
{
    if (suspended_)
        return;
    DiscoveryMessage message;
    message.kind = DiscoveryKind::Query;
    message.instance = processInstance_;
    discovery_.broadcast(message, now);
}

void NetworkManager::sendBye(const LocalServer& server)
{
    DiscoveryMessage message;
    message.kind = DiscoveryKind::Bye;
    message.instance = server.instance;
    discovery_.broadcast(message, now());
}

void NetworkManager::runDiscoveryTimers(uint64_t now)
{
    for (auto& entry : servers_)
    {
        LocalServer& server = entry.second;
        bool due = now >= server.nextAnnounce;
        if (due)
        {
            ++server.announceStep;
            server.nextAnnounce = server.announceStep < 3
                                      ? server.registered + Timing::kAnnounceSteps[server.announceStep]
                                      : now + Timing::kAnnouncePeriod;
        }
        if (server.answerAt != 0 && now >= server.answerAt)
        {
            server.answerAt = 0;
            due = true;
        }
        if (due)
            announce(server, now);
    }
    // A server's time only moves later (each announcement), so nothing expires before the earliest
    // time found at the last look; a desk that hears a thousand servers looks only then.
    if (now < remoteExpiryCheck_)
        return;
    std::vector<int> expired;
    uint64_t earliest = UINT64_MAX;
    for (const auto& [handle, remote] : remotes_)
    {
        if (now > remote.lastHeard + Timing::kServerExpiry)
            expired.push_back(handle);
        else
            earliest = std::min(earliest, remote.lastHeard + Timing::kServerExpiry + 1);
    }
    remoteExpiryCheck_ = earliest;
    for (int handle : expired)
        dropRemoteServer(handle);
}

void NetworkManager::queueEvent(Event event)
{
    event.sequence = eventSequence_++;
    events_.push_back(std::move(event));
}

void NetworkManager::deliverEvents()
{
    // Callbacks may add events (or listeners): take the list as it stands.
    for (size_t i = 0; i < events_.size(); ++i)
    {
        Event event = events_[i];
        if (event.kind == Event::Error)
        {
            std::vector<INetworkErrorReporter*> reporters = reporters_;
            for (INetworkErrorReporter* reporter : reporters)
                if (std::find(reporters_.begin(), reporters_.end(), reporter) != reporters_.end())
                    reporter->reportError(&event.error);
            continue;
        }
        std::vector<ListenerEntry> listeners = listeners_;
        for (const ListenerEntry& entry : listeners)
        {
            if (event.target ? entry.listener != event.target : event.sequence < entry.since)
                continue;
            bool stillThere =
                std::any_of(listeners_.begin(), listeners_.end(),
                            [&](const ListenerEntry& e) { return e.listener == entry.listener; });
            if (!stillThere)
                continue;
            if (event.kind == Event::Unavailable)
            {
                entry.listener->serverUnavailable(event.server);
                continue;
            }
            const RemoteServer& r = *event.description;
            ServerDescriptor descriptor;
            descriptor.name = r.name.c_str();
            descriptor.deviceType = r.deviceType.c_str();
            descriptor.uid = r.uid.empty() ? nullptr : r.uid.c_str();
            descriptor.serialNumber = r.serialNumber.c_str();
            descriptor.interfaceType = r.interfaceType;
            entry.listener->serverAvailable(event.server, &descriptor);
        }
    }
    events_.clear();
}

} // namespace lknet
