// Connections of the network manager: opening, handshake, keep-alive, loss,
// reconnection and orderly close.

#include "lknet/NetworkManager.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace lknet
{

namespace
{
constexpr size_t kMaxWaitingConnections = 64;
} // namespace

NetworkManager::Link* NetworkManager::findClientLink(int client, int server)
{
    for (auto& link : links_)
        if (!link->dead && !link->closeQueued && link->role == Role::Client && link->client == client &&
            link->server == server)
            return link.get();
    return nullptr;
}

NetworkManager::Link* NetworkManager::findServerLink(int peer)
{
    for (auto& link : links_)
        if (!link->dead && link->role == Role::Server && link->peer == peer)
            return link.get();
    return nullptr;
}

void NetworkManager::acceptConnections(uint64_t now)
{
    for (auto& [handle, server] : servers_)
    {
        // Callers that have not said hello yet are bounded: a stranger opening
        // connections and saying nothing cannot pile them up.
        size_t waiting = 0;
        for (const auto& link : links_)
            waiting += !link->dead && link->role == Role::Accepted && link->server == handle;
        for (int n = 0; n < 64; ++n)
        {
            Socket socket;
            sockaddr_in peer{};
            IoResult result = acceptConnection(server.listener.fd(), &socket, &peer);
            if (result.error != 0)
                break;
            if (waiting >= kMaxWaitingConnections)
                continue; // closed at once
            ++waiting;
            auto link = std::make_unique<Link>();
            link->role = Role::Accepted;
            link->server = handle;
            link->address = addressText(peer);
            link->port = ntohs(peer.sin_port);
            link->connection = std::make_unique<Connection>(std::move(socket), false, now);
            links_.push_back(std::move(link));
            linksChanged();
        }
    }
}

void NetworkManager::startAttempt(Link& link, uint64_t now)
{
    linksChanged();
    auto remote = remotes_.find(link.server);
    if (remote == remotes_.end())
    {
        endLink(link);
        return;
    }
    link.address = remote->second.address;
    link.port = remote->second.port;
    sockaddr_in to{};
    if (!parseAddress(link.address, link.port, &to))
    {
        endLink(link);
        return;
    }
    Socket socket;
    IoResult result = startConnect(to, &socket);
    if (result.error != 0)
    {
        linkFailed(link, result.error, now);
        return;
    }
    link.open = false;
    link.connection = std::make_unique<Connection>(std::move(socket), result.value == 0, now);
    HelloMessage hello;
    hello.clientInstance = processInstance_;
    hello.clientHandle = static_cast<uint32_t>(link.client);
    hello.serverInstance = remote->second.instance;
    hello.hostName = hostName_;
    uint8_t payload[kHelloSize];
    encodeHello(payload, hello);
    link.connection->queue(FrameKind::Hello, payload, sizeof payload);
    queuedSinceFlush_ = true;
    if (!link.connection->connecting())
        link.connection->flush(now);
}

void NetworkManager::onHello(Link& link, const uint8_t* payload, uint64_t now)
{
    HelloMessage hello;
    decodeHello(payload, kHelloSize, &hello);
    auto server = servers_.find(link.server);
    uint8_t welcome[kWelcomeSize] = {};
    bool accepted = server != servers_.end() &&
                    (hello.serverInstance == 0 || hello.serverInstance == server->second.instance);
    if (server != servers_.end())
        putU64(welcome, server->second.instance);
    putU32(welcome + 8, accepted ? 1 : 0);
    link.connection->queue(FrameKind::Welcome, welcome, sizeof welcome);
    queuedSinceFlush_ = true;
    if (!accepted)
    {
        queueClose(link, now);
        return;
    }
    // The same remote client keeps its peer id across reconnections, so the
    // server's state for it (a subscription) carries on.
    int peer = 0;
    for (const auto& [id, p] : peers_)
        if (p.server == link.server && p.clientInstance == hello.clientInstance &&
            p.clientHandle == hello.clientHandle)
            peer = id;
    if (peer == 0)
    {
        peer = newHandle();
        peers_[peer] = Peer{link.server, hello.clientInstance, hello.clientHandle};
    }
    if (Link* old = findServerLink(peer))
        endLink(*old); // superseded by this one
    link.role = Role::Server;
    link.peer = peer;
    link.open = true;
    linksChanged(); // a server's link sends heartbeats
    link.connection->flush(now);
}

void NetworkManager::onWelcome(Link& link, const uint8_t* payload, uint64_t now)
{
    bool accepted = getU32(payload + 8) == 1;
    if (!accepted)
    {
        // Another instance owns the port now: the server we knew is gone.
        LKReportMessage(0, "Server at %s:%u refused the connection", link.address.c_str(), link.port);
        dropRemoteServer(link.server);
        return;
    }
    link.open = true;
    link.wasOpen = true;
    if (link.lossReported)
    {
        link.lossReported = false;
        LKReportMessage(0, "Connection to %s:%u restored", link.address.c_str(), link.port);
        reportError(kErrorConnectionRestored, link);
    }
    (void)now;
}

void NetworkManager::linkFailed(Link& link, int error, uint64_t now)
{
    if (link.dead)
        return;
    linksChanged();
    if (link.connection)
        retired_.push_back(std::move(link.connection));
    bool wasOpen = link.open;
    link.open = false;
    if (link.role != Role::Client)
    {
        if (wasOpen && !link.closeQueued)
        {
            LKReportMessage(0, "Connection from %s:%u lost (%s)", link.address.c_str(), link.port,
                            sys::errorText(error).c_str());
            reportError(kErrorConnectionLost, link);
        }
        endLink(link);
        return;
    }
    if (!link.switchedOn || link.closeQueued)
    {
        endLink(link);
        return;
    }
    if (wasOpen && !link.lossReported)
    {
        link.lossReported = true;
        LKReportMessage(0, "Connection to %s:%u lost (%s)", link.address.c_str(), link.port,
                        sys::errorText(error).c_str());
        reportError(kErrorConnectionLost, link);
    }
    if (error == ECONNREFUSED)
    {
        // Nobody listens on the server's port any more: the server has gone.
        dropRemoteServer(link.server);
        return;
    }
    link.nextAttempt = wasOpen ? now : now + Timing::kRetryDelay;
}

void NetworkManager::queueClose(Link& link, uint64_t now)
{
    if (link.closeQueued)
        return;
    linksChanged();
    link.closeQueued = true;
    link.closeQueuedAt = now;
    if (!link.connection || link.connection->connecting() || link.connection->fd() < 0)
    {
        endLink(link);
        return;
    }
    link.connection->queue(FrameKind::Close, nullptr, 0);
    queuedSinceFlush_ = true;
    link.connection->flush(now);
    if (link.connection->drained())
        link.connection->shutdownWrite();
}

void NetworkManager::endLink(Link& link)
{
    if (link.connection)
        retired_.push_back(std::move(link.connection));
    link.open = false;
    link.dead = true;
    deadLinks_ = true;
}

void NetworkManager::reportError(int code, const Link& link)
{
    Event event;
    event.kind = Event::Error;
    event.error.code = code;
    putText(reinterpret_cast<uint8_t*>(event.error.address), sizeof event.error.address,
            link.address.c_str());
    event.error.port = link.port;
    queueEvent(std::move(event));
}

void NetworkManager::runLinkTimers(Link& link, uint64_t now)
{
    if (link.dead)
        return;
    Connection* c = link.connection.get();
    if (link.role == Role::Client && !link.switchedOn && !link.closeQueued &&
        now >= link.switchedOffAt + Timing::kSwitchOffLinger)
    {
        if (!c)
        {
            endLink(link);
            return;
        }
        if (!c->connecting())
            queueClose(link, now);
    }
    if (link.dead)
        return;
    if (!c)
    {
        if (link.role == Role::Client && now >= link.nextAttempt)
            startAttempt(link, now);
        return;
    }
    if (link.closeQueued)
    {
        if (c->drained())
            c->shutdownWrite();
        if (now > link.closeQueuedAt + Timing::kCloseTimeout)
            endLink(link);
        return;
    }
    if (c->connecting())
    {
        if (now > c->created() + Timing::kConnectTimeout)
            linkFailed(link, ETIMEDOUT, now);
        return;
    }
    if (now > c->lastReceived() + Timing::kDeadAfter)
    {
        linkFailed(link, ETIMEDOUT, now);
        return;
    }
    // A heartbeat due soon goes now, while the pass is here (see kHeartbeatEarly), but only in a
    // pass that one heartbeat due already started.
    if (link.role != Role::Accepted && c->drained() &&
        now + (heartbeatPass_ ? Timing::kHeartbeatEarly : 0) >= c->lastSent() + Timing::kHeartbeat)
    {
        c->queue(FrameKind::Heartbeat, nullptr, 0);
        queuedSinceFlush_ = true;
    }
    if (!c->drained() && writeHolds_ == 0)
    {
        int error = c->flush(now);
        if (error != 0)
            linkFailed(link, error, now);
    }
}

void NetworkManager::removeDeadLinks()
{
    if (deadLinks_)
        std::erase_if(links_, [](const std::unique_ptr<Link>& link) { return link->dead; });
    deadLinks_ = false;
    retired_.clear();
}

void NetworkManager::runLinkPass(uint64_t now)
{
    const uint64_t changes = linkChanges_;
    // Heartbeats due within kHeartbeatEarly join a pass that a due heartbeat brought about.
    heartbeatPass_ = false;
    for (const auto& link : links_)
    {
        const Connection* c = link->connection.get();
        if (!link->dead && c && link->role != Role::Accepted && !link->closeQueued && !c->connecting() &&
            now >= c->lastSent() + Timing::kHeartbeat)
        {
            heartbeatPass_ = true;
            break;
        }
    }
    uint64_t pass = UINT64_MAX, wake = UINT64_MAX;
    for (size_t i = 0; i < links_.size(); ++i)
    {
        runLinkTimers(*links_[i], now);
        considerLink(*links_[i], pass, wake);
    }
    heartbeatPass_ = false;
    // A link that changed while the pass ran (one failed, another was ended for it) is looked at
    // again in the next turn.
    linkPassDue_ = linkChanges_ == changes ? pass : 0;
    linkWakeDue_ = linkChanges_ == changes ? wake : 0;
}

void NetworkManager::considerLink(const Link& link, uint64_t& pass, uint64_t& wake) const
{
    if (link.dead)
        return;
    auto both = [&](uint64_t t)
    {
        pass = std::min(pass, t);
        wake = std::min(wake, t);
    };
    const Connection* c = link.connection.get();
    if (!c)
    {
        both(link.nextAttempt);
        return;
    }
    if (link.role == Role::Client && !link.switchedOn && !link.closeQueued)
        both(link.switchedOffAt + Timing::kSwitchOffLinger);
    if (link.closeQueued)
    {
        // Every turn looks whether the Close has left, to shut the sending side down then.
        pass = 0;
        wake = std::min(wake, link.closeQueuedAt + Timing::kCloseTimeout + 1);
        return;
    }
    if (c->connecting())
    {
        both(c->created() + Timing::kConnectTimeout + 1);
        return;
    }
    both(c->lastReceived() + Timing::kDeadAfter + 1);
    both(c->lastSent() + Timing::kHeartbeat);
    if (!c->drained())
        pass = 0; // written out by the pass when nothing else does
}

uint64_t NetworkManager::nextDue(uint64_t now) const
{
    if (!events_.empty())
        return 0;
    uint64_t due = now + Timing::kHeartbeat;
    auto consider = [&](uint64_t t) { due = std::min(due, t); };
    for (const auto& entry : servers_)
    {
        consider(entry.second.nextAnnounce);
        if (entry.second.answerAt)
            consider(entry.second.answerAt);
    }
    if (!remotes_.empty())
        consider(remoteExpiryCheck_);
    consider(linkWakeDue_);
    return due > now ? due - now : 0;
}

} // namespace lknet
