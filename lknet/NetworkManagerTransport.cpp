// Packets of the network manager: process(), sending, and the delivery of
// received frames.

#include "lknet/NetworkManager.h"

#include <cerrno>
#include <cstring>

namespace lknet
{

namespace
{

bool isJson(uint32_t type)
{
    return type == kPacketJsonMessage || type == kPacketZipMessage;
}

// Received texts may lack their terminating NUL: cut them at their field's end.
void terminateTexts(uint8_t* record, uint32_t type)
{
    switch (type)
    {
    case kPacketParamString:
        record[148 + 255] = 0;
        break;
    case kPacketParamList:
        record[152 + 1023] = 0;
        break;
    case kPacketParamRange:
        record[168 + 31] = 0;
        record[200 + 31] = 0;
        break;
    case kPacketParamValue:
    case kPacketParamColor:
    case kPacketParamEdit:
        break;
    default:
        return;
    }
    record[16 + 127] = 0; // the path of every parameter packet
}

// Checks a record handed to send(): 0 or the error code.
int checkOutgoing(const Packet* packet)
{
    if (!packet || packet->size < sizeof(Packet))
        return kErrorBadArgument;
    if (isJson(packet->type))
    {
        if (packet->size != sizeof(JsonPacket))
            return kErrorBadArgument;
        const auto* json = reinterpret_cast<const JsonPacket*>(packet);
        if (json->length > kMaxPacketSize)
            return kErrorTooLarge;
        if (json->length > 0 && !json->data)
            return kErrorBadArgument;
        return kOk;
    }
    if (packet->size > kMaxPacketSize)
        return kErrorTooLarge;
    uint32_t fixed = fixedPacketSize(packet->type);
    if (fixed != 0 && fixed != packet->size)
        return kErrorBadArgument;
    return kOk;
}

} // namespace

void NetworkManager::process()
{
    if (!started_ || processing_)
        return;
    processing_ = true;
    uint64_t t = now();

    if (socketsDirty_)
        describeSockets();
    // One wait takes a bounded number of ready sockets; the rest follow in further rounds.
    for (int round = 0; round < 64; ++round)
    {
        int ready = poller_.wait(0);
        if (ready <= 0)
            break;
        bool accept = false;
        for (const Poller::Ready& entry : poller_.ready())
        {
            if (entry.owner == &discovery_)
                readDiscovery(t);
            else if (entry.owner == &servers_)
                accept = true;
            else
            {
                Link& link = *static_cast<Link*>(entry.owner);
                // A link whose connection was replaced meanwhile waits for its new socket's turn.
                if (link.connection && link.connection->fd() == entry.fd)
                    serviceLink(link, entry.revents, t);
            }
        }
        if (accept)
            acceptConnections(t);
        if (ready < Poller::kMaxReadyPerWait)
            break;
        describeSockets();
    }
    if (t >= linkPassDue_)
        runLinkPass(t);
    runDiscoveryTimers(t);
    // What the handlers sent while they were called back leaves now, in one write per connection.
    deliverEvents();
    if (writeHolds_ == 0)
        flushQueued(t);
    removeDeadLinks();
    describeSockets(); // for the waits until the next call
    processing_ = false;
}

void NetworkManager::holdWrites()
{
    ++writeHolds_;
}

void NetworkManager::releaseWrites()
{
    if (writeHolds_ == 0 || --writeHolds_ > 0 || !started_ || processing_)
        return;
    flushQueued(now());
}

void NetworkManager::flushQueued(uint64_t t)
{
    // Most turns of a mirror only read: then no connection needs looking at.
    if (!queuedSinceFlush_)
        return;
    queuedSinceFlush_ = false;
    socketsDirty_ = true;
    for (size_t i = 0; i < links_.size(); ++i)
    {
        Link& link = *links_[i];
        Connection* c = link.connection.get();
        if (link.dead || !c || c->connecting() || c->drained())
            continue;
        if (int error = c->flush(t); error != 0)
            linkFailed(link, error, t);
    }
}

void NetworkManager::serviceLink(Link& link, short revents, uint64_t now)
{
    if (link.dead || !link.connection)
        return;
    Connection* c = link.connection.get();
    if (c->connecting())
    {
        if (!(revents & (POLLOUT | POLLERR | POLLHUP)))
            return;
        int error = c->finishConnect(now);
        if (error != 0)
        {
            linkFailed(link, error, now);
            return;
        }
        revents |= POLLOUT;
    }
    if (revents & (POLLIN | POLLERR | POLLHUP))
    {
        int status = c->readAvailable(now);
        FrameHeader header;
        const uint8_t* payload = nullptr;
        for (;;)
        {
            Connection::FrameStatus frame = c->nextFrame(&header, &payload);
            if (frame == Connection::FrameStatus::None)
                break;
            if (frame == Connection::FrameStatus::Malformed)
            {
                LKReportMessage(0, "Malformed frame from %s:%u; closing the connection", link.address.c_str(),
                                link.port);
                c->abort();
                linkFailed(link, EPROTO, now);
                return;
            }
            handleFrame(link, header, payload, now);
            if (link.dead || link.connection.get() != c)
                return;
        }
        if (status == -1)
        {
            // The peer closed. After our own Close that is the expected end.
            if (link.closeQueued)
                endLink(link);
            else
                linkFailed(link, ECONNRESET, now);
            return;
        }
        if (status > 0)
        {
            linkFailed(link, status, now);
            return;
        }
    }
    if ((revents & POLLOUT) && !c->drained() && writeHolds_ == 0)
    {
        int error = c->flush(now);
        if (error != 0)
            linkFailed(link, error, now);
    }
}

void NetworkManager::handleFrame(Link& link, const FrameHeader& header, const uint8_t* payload, uint64_t now)
{
    if (link.role == Role::Client)
    {
        auto remote = remotes_.find(link.server);
        if (remote != remotes_.end())
            remote->second.lastHeard = now;
    }
    bool valid = true;
    switch (header.kind)
    {
    case FrameKind::Hello:
        valid = link.role == Role::Accepted;
        if (valid)
            onHello(link, payload, now);
        break;
    case FrameKind::Welcome:
        valid = link.role == Role::Client && !link.open;
        if (valid)
            onWelcome(link, payload, now);
        break;
    case FrameKind::Packet:
        valid = link.open && validWirePacket(payload, header.length);
        if (valid)
            deliverPacket(link, payload, header.length);
        break;
    case FrameKind::Heartbeat:
        break;
    case FrameKind::Close:
        if (link.role == Role::Client && link.switchedOn && !link.closeQueued)
            dropRemoteServer(link.server); // the server is going away
        else
            endLink(link);
        break;
    }
    if (!valid)
    {
        LKReportMessage(0, "Unexpected frame from %s:%u; closing the connection", link.address.c_str(),
                        link.port);
        if (link.connection)
            link.connection->abort();
        linkFailed(link, EPROTO, now);
    }
}

void NetworkManager::deliverPacket(Link& link, const uint8_t* payload, size_t length)
{
    IEventHandler* handler = link.handler;
    int source = 0, destination = 0;
    if (link.role == Role::Client)
    {
        if (!handler)
        {
            auto client = clients_.find(link.client);
            if (client == clients_.end())
                return;
            handler = link.handler = client->second;
        }
        source = link.server;
        destination = link.client;
    }
    else
    {
        if (!handler)
        {
            auto server = servers_.find(link.server);
            if (server == servers_.end())
                return;
            handler = link.handler = server->second.handler;
        }
        source = link.peer;
        destination = link.server;
    }
    uint32_t type = getU32(payload);
    if (isJson(type))
    {
        uint32_t dataLength = getU32(payload + 20);
        jsonScratch_.assign(reinterpret_cast<const char*>(payload) + kWireJsonRecordSize,
                            reinterpret_cast<const char*>(payload) + length);
        jsonScratch_.push_back('\0');
        JsonPacket json;
        json.header = Packet{type, sizeof(JsonPacket), uint32_t(source), uint32_t(destination)};
        json.data = jsonScratch_.data();
        json.length = dataLength;
        handler->handlePacket(destination, &json.header);
        return;
    }
    if (scratch_.size() < (length + 7) / 8)
        scratch_.resize((length + 7) / 8);
    auto* record = reinterpret_cast<uint8_t*>(scratch_.data());
    std::memcpy(record, payload, length);
    auto* packet = reinterpret_cast<Packet*>(record);
    packet->source = uint32_t(source);
    packet->destination = uint32_t(destination);
    terminateTexts(record, type);
    handler->handlePacket(destination, packet);
}

int NetworkManager::queuePacket(Link& link, const Packet* packet, uint64_t now)
{
    Connection* c = link.connection.get();
    if (!c || c->fd() < 0)
        return kErrorNotConnected;
    int result;
    if (isJson(packet->type))
    {
        const auto* json = reinterpret_cast<const JsonPacket*>(packet);
        uint8_t record[kWireJsonRecordSize];
        putU32(record, packet->type);
        putU32(record + 4, kWireJsonRecordSize);
        putU32(record + 8, packet->source);
        putU32(record + 12, packet->destination);
        putU32(record + 16, 0);
        putU32(record + 20, json->length);
        result = c->queue(FrameKind::Packet, record, sizeof record, json->data, json->length);
    }
    else
    {
        result = c->queue(FrameKind::Packet, packet, packet->size);
    }
    if (result != kOk)
        return result;
    queuedSinceFlush_ = true;
    if (!c->connecting() && writeHolds_ == 0 && !processing_)
    {
        int error = c->flush(now);
        if (error != 0)
        {
            linkFailed(link, error, now);
            return kErrorNotConnected;
        }
    }
    return kOk;
}

int NetworkManager::send(const Packet* packet, int /*flags*/)
{
    socketsDirty_ = true;
    if (!started_)
        return kErrorNotStarted;
    int check = checkOutgoing(packet);
    if (check != kOk)
        return check;
    int source = int(packet->source), destination = int(packet->destination);
    Link* link = nullptr;
    if (clients_.count(source))
    {
        link = findClientLink(source, destination);
        if (!link)
            return remotes_.count(destination) ? kErrorNotConnected : kErrorUnknownHandle;
    }
    else if (servers_.count(source))
    {
        auto peer = peers_.find(destination);
        if (peer == peers_.end() || peer->second.server != source)
            return kErrorUnknownHandle;
        link = findServerLink(destination);
        if (!link || link->closeQueued)
            return kErrorNotConnected;
    }
    else
    {
        return kErrorUnknownHandle;
    }
    return queuePacket(*link, packet, now());
}

int NetworkManager::sendMeters(const Packet* packet)
{
    socketsDirty_ = true;
    if (!started_)
        return kErrorNotStarted;
    int check = checkOutgoing(packet);
    if (check != kOk)
        return check;
    if (isJson(packet->type))
        return kErrorBadArgument;
    int server = int(packet->source);
    if (!servers_.count(server))
        return kErrorUnknownHandle;
    uint64_t t = now();
    for (size_t i = 0; i < links_.size(); ++i)
    {
        Link& link = *links_[i];
        if (link.dead || link.role != Role::Server || link.server != server || link.closeQueued ||
            !link.connection)
            continue;
        link.connection->queueMeter(packet, packet->size);
        queuedSinceFlush_ = true;
        if (writeHolds_ > 0 || processing_)
            continue;
        int error = link.connection->flush(t);
        if (error != 0)
            linkFailed(link, error, t);
    }
    return kOk;
}

} // namespace lknet
