#include "lknet/NetworkManager.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace lknet
{

namespace
{

constexpr uint16_t kDefaultDiscoveryPort = 30718;
constexpr uint32_t kLoopbackAddress = 0x7F000001; // 127.0.0.1

uint16_t discoveryPortFromEnvironment()
{
    const char* text = std::getenv("LKNET_DISCOVERY_PORT");
    if (!text || !*text)
        return kDefaultDiscoveryPort;
    char* end = nullptr;
    long port = std::strtol(text, &end, 10);
    if (*end != '\0' || port < 1 || port > 65535)
    {
        LKReportMessage(0, "LKNET_DISCOVERY_PORT=\"%s\" is no port; using %u", text, kDefaultDiscoveryPort);
        return kDefaultDiscoveryPort;
    }
    return static_cast<uint16_t>(port);
}

bool loopbackOnlyFromEnvironment()
{
    const char* text = std::getenv("LKNET_LOOPBACK_ONLY");
    return text && std::strcmp(text, "1") == 0;
}

} // namespace

NetworkManager::NetworkManager() : random_(std::random_device{}() ^ uint64_t(sys::processId())) {}

NetworkManager::~NetworkManager()
{
    shutdown();
}

uint64_t NetworkManager::now() const
{
    return clock_ ? clock_() : steadyMilliseconds();
}

uint64_t NetworkManager::steadyMilliseconds()
{
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

uint64_t NetworkManager::newInstance()
{
    uint64_t id = 0;
    while (id == 0)
        id = random_();
    return id;
}

int NetworkManager::startup()
{
    linksChanged();
    if (started_)
        return kOk;
    if (!sys::initialize())
    {
        LKReportMessage(0, "The system's sockets cannot be used");
        return kErrorSocket;
    }
    loopbackOnly_ = loopbackOnlyFromEnvironment();
    uint16_t port = discoveryPortFromEnvironment();
    int error = discovery_.open(port, loopbackOnly_);
    if (error != 0)
    {
        LKReportMessage(0, "Cannot open the discovery port %u: %s", port, sys::errorText(error).c_str());
        return kErrorSocket;
    }
    if (hostName_.empty())
    {
        char name[256] = {};
        if (gethostname(name, sizeof name - 1) == 0)
            hostName_ = name;
    }
    processInstance_ = newInstance();
    if (int pollError = poller_.open(); pollError != 0)
        LKReportMessage(0, "Cannot open the socket set (%s); polling every socket",
                        sys::errorText(pollError).c_str());
    started_ = true;
    suspended_ = false;
    sendQuery(now());
    return kOk;
}

void NetworkManager::shutdown()
{
    linksChanged();
    if (!started_)
        return;
    while (!servers_.empty())
        unregisterServer(servers_.begin()->second.handler);
    uint64_t t = now();
    for (auto& link : links_)
    {
        if (link->dead || !link->connection)
            continue;
        if (link->open && !link->closeQueued)
            queueClose(*link, t);
        if (link->connection)
            link->connection->flush(t);
        endLink(*link);
    }
    links_.clear();
    retired_.clear();
    clients_.clear();
    remotes_.clear();
    remoteByInstance_.clear();
    remoteExpiryCheck_ = 0;
    peers_.clear();
    events_.clear();
    listeners_.clear();
    reporters_.clear();
    discovery_.close();
    poller_.close();
    started_ = false;
}

void NetworkManager::configure(const char* computerName)
{
    if (computerName && *computerName)
        hostName_ = computerName;
}

void NetworkManager::addNetworkListener(INetworkListener* listener)
{
    if (!listener)
        return;
    for (const ListenerEntry& entry : listeners_)
        if (entry.listener == listener)
            return;
    listeners_.push_back({listener, eventSequence_});
    // The newcomer learns about the servers already known at its first process().
    for (const auto& [handle, remote] : remotes_)
    {
        Event event;
        event.kind = Event::Available;
        event.server = handle;
        event.description = std::make_shared<const RemoteServer>(remote);
        event.target = listener;
        queueEvent(std::move(event));
    }
}

void NetworkManager::removeNetworkListener(INetworkListener* listener)
{
    std::erase_if(listeners_, [&](const ListenerEntry& e) { return e.listener == listener; });
}

void NetworkManager::addErrorReporter(INetworkErrorReporter* reporter)
{
    if (reporter && std::find(reporters_.begin(), reporters_.end(), reporter) == reporters_.end())
        reporters_.push_back(reporter);
}

void NetworkManager::removeErrorReporter(INetworkErrorReporter* reporter)
{
    std::erase(reporters_, reporter);
}

int NetworkManager::registerServer(int* handle, IEventHandler* handler, const ServerDescriptor* descriptor,
                                   int /*flags*/)
{
    linksChanged();
    if (!started_)
        return kErrorNotStarted;
    if (!handle || !handler || !descriptor)
        return kErrorBadArgument;
    for (const auto& entry : servers_)
        if (entry.second.handler == handler)
            return kErrorBadArgument;
    LocalServer server;
    IoResult result = openListener(loopbackOnly_ ? kLoopbackAddress : 0, &server.listener, &server.port);
    if (result.error != 0)
    {
        LKReportMessage(0, "Cannot open a server port: %s", sys::errorText(result.error).c_str());
        return kErrorSocket;
    }
    auto text = [](const char* s) { return std::string(s ? s : ""); };
    server.handler = handler;
    server.instance = newInstance();
    server.name = text(descriptor->name);
    server.deviceType = text(descriptor->deviceType);
    server.uid = text(descriptor->uid);
    server.serialNumber = text(descriptor->serialNumber);
    server.interfaceType = descriptor->interfaceType;
    uint64_t t = now();
    server.registered = t;
    int h = newHandle();
    LocalServer& stored = servers_.emplace(h, std::move(server)).first->second;
    announce(stored, t);
    stored.announceStep = 1;
    stored.nextAnnounce = t + Timing::kAnnounceSteps[1];
    *handle = h;
    return kOk;
}

int NetworkManager::unregisterServer(IEventHandler* handler)
{
    linksChanged();
    auto it = std::find_if(servers_.begin(), servers_.end(),
                           [&](const auto& entry) { return entry.second.handler == handler; });
    if (it == servers_.end())
        return kErrorBadArgument;
    uint64_t t = now();
    // Write the goodbye at once: the caller may not call process() again soon.
    for (auto& link : links_)
        if (link->role != Role::Client && link->server == it->first)
            link->handler = nullptr;
    for (auto& link : links_)
        if (!link->dead && link->role != Role::Client && link->server == it->first)
        {
            queueClose(*link, t);
            if (link->connection)
                link->connection->flush(t);
        }
    sendBye(it->second);
    std::erase_if(peers_, [&](const auto& entry) { return entry.second.server == it->first; });
    servers_.erase(it);
    return kOk;
}

int NetworkManager::registerClient(int* handle, IEventHandler* handler)
{
    linksChanged();
    if (!handle || !handler)
        return kErrorBadArgument;
    for (const auto& entry : clients_)
        if (entry.second == handler)
            return kErrorBadArgument;
    int h = newHandle();
    clients_[h] = handler;
    *handle = h;
    return kOk;
}

int NetworkManager::unregisterClient(IEventHandler* handler)
{
    linksChanged();
    auto it = std::find_if(clients_.begin(), clients_.end(),
                           [&](const auto& entry) { return entry.second == handler; });
    if (it == clients_.end())
        return kErrorBadArgument;
    uint64_t t = now();
    for (auto& link : links_)
        if (link->role == Role::Client && link->client == it->first)
            link->handler = nullptr;
    for (auto& link : links_)
        if (!link->dead && link->role == Role::Client && link->client == it->first)
        {
            link->switchedOn = false;
            if (link->open && !link->closeQueued)
                queueClose(*link, t);
            else if (!link->closeQueued)
                endLink(*link);
        }
    clients_.erase(it);
    return kOk;
}

int NetworkManager::setConnection(int client, int server, int on, int /*wasOn*/)
{
    linksChanged();
    if (!started_)
        return kErrorNotStarted;
    if (!clients_.count(client))
        return kErrorUnknownHandle;
    Link* link = findClientLink(client, server);
    if (!on)
    {
        if (link && link->switchedOn)
        {
            link->switchedOn = false;
            link->switchedOffAt = now();
        }
        return kOk;
    }
    if (link)
    {
        link->switchedOn = true;
        return kOk;
    }
    if (!remotes_.count(server))
        return kErrorUnknownHandle;
    auto created = std::make_unique<Link>();
    created->role = Role::Client;
    created->client = client;
    created->server = server;
    Link& stored = *created;
    links_.push_back(std::move(created));
    startAttempt(stored, now());
    return kOk;
}

int NetworkManager::getDeviceInfo(DeviceInfo* info, int server)
{
    if (!info || info->size < sizeof(DeviceInfo))
        return kErrorBadArgument;
    auto it = remotes_.find(server);
    if (it == remotes_.end())
        return kErrorUnknownHandle;
    info->flags = 0;
    putText(reinterpret_cast<uint8_t*>(info->address), sizeof info->address, it->second.address.c_str());
    putText(reinterpret_cast<uint8_t*>(info->hostName), sizeof info->hostName, it->second.hostName.c_str());
    info->port = it->second.port;
    return kOk;
}

void NetworkManager::resume(int rescan)
{
    linksChanged();
    suspended_ = false;
    if (!started_ || !rescan)
        return;
    uint64_t t = now();
    for (auto& entry : remotes_)
        entry.second.lastHeard = t;
    sendQuery(t);
}

void NetworkManager::suspend(int ms)
{
    linksChanged();
    if (!started_)
        return;
    // Real time here, whatever clock drives the timers: this call blocks.
    uint64_t deadline = steadyMilliseconds() + static_cast<uint64_t>(std::max(ms, 0));
    for (;;)
    {
        std::vector<pollfd> fds;
        uint64_t t = steadyMilliseconds();
        for (auto& link : links_)
        {
            if (link->dead || !link->connection || link->connection->fd() < 0)
                continue;
            if (link->connection->flush(t) == 0 && !link->connection->drained() &&
                !link->connection->connecting())
                fds.push_back(sys::pollEntry(link->connection->fd(), POLLOUT));
        }
        if (fds.empty() || t >= deadline)
            break;
        sys::pollSockets(fds.data(), fds.size(), static_cast<int>(deadline - t));
    }
    suspended_ = true;
}

void NetworkManager::simulateErrors()
{
    linksChanged();
    uint64_t t = now();
    for (size_t i = 0; i < links_.size(); ++i)
    {
        Link& link = *links_[i];
        if (link.dead || !link.connection || !link.open)
            continue;
        link.connection->abort();
        linkFailed(link, ECONNRESET, t);
    }
}

void NetworkManager::describeSockets()
{
    // Keys: 1 for discovery, the server's handle for its listener, the connection's serial for a
    // link; the low bits keep the three kinds apart.
    socketsDirty_ = false;
    poller_.begin();
    poller_.want(discovery_.fd(), POLLIN, 1, &discovery_);
    for (const auto& entry : servers_)
        poller_.want(entry.second.listener.fd(), POLLIN, uint64_t(entry.first) << 2 | 2, &servers_);
    for (const auto& link : links_)
    {
        if (link->dead || !link->connection || link->connection->fd() < 0)
            continue;
        short events = POLLIN;
        if (link->connection->connecting() || (writeHolds_ == 0 && link->connection->wantsWrite()))
            events |= POLLOUT;
        poller_.want(link->connection->fd(), events, link->connection->serial() << 2 | 3, link.get());
    }
    poller_.end();
}

int NetworkManager::pollDescriptors(std::vector<pollfd>& fds)
{
    fds.clear();
    if (!started_)
        return -1;
    if (socketsDirty_)
        describeSockets();
    if (poller_.signalDescriptor() >= 0)
        fds.push_back(sys::pollEntry(poller_.signalDescriptor(), POLLIN)); // readable while a socket is ready
    else
        fds = poller_.wanted();
    return static_cast<int>(nextDue(now()));
}

int NetworkManager::wait(int maxMs)
{
    if (!started_)
        return 0;
    if (socketsDirty_)
        describeSockets();
    int due = int(std::min<uint64_t>(nextDue(now()), uint64_t(INT32_MAX)));
    int timeout = std::max(0, std::min(due, maxMs));
    int ready = poller_.wait(timeout);
    return (ready > 0 || due <= maxMs) ? 1 : 0;
}

} // namespace lknet
