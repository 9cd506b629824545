#include "tests/mirror/FakeNetwork.h"

#include "protocol/PacketRecords.h"
#include "protocol/ParamPackets.h"

namespace MirrorTest
{

using namespace Vellaris::LK;

namespace
{
std::string code(uint32_t type)
{
    return {char((type >> 8) & 0xFF), char(type & 0xFF)};
}
} // namespace

std::vector<SentPacket> FakeNetwork::ofType(uint32_t type, const std::string& id) const
{
    std::vector<SentPacket> result;
    for (const SentPacket& packet : sent)
        if (packet.type == type && (id.empty() || packet.messageId() == id))
            result.push_back(packet);
    return result;
}

int FakeNetwork::registerClient(int* handle, lknet::IEventHandler* eventHandler)
{
    *handle = kClientHandle;
    handler = eventHandler;
    return 0;
}

int FakeNetwork::unregisterClient(lknet::IEventHandler* eventHandler)
{
    if (handler == eventHandler)
        handler = nullptr;
    return 0;
}

int FakeNetwork::send(const lknet::Packet* packet, int)
{
    SentPacket record;
    record.type = packet->type;
    record.source = packet->source;
    record.destination = packet->destination;
    std::string event = "send " + code(packet->type);
    if (isParameterPacket(packet->type))
        record.path = std::string(receivedPath(packet));
    if (packet->type == lknet::kPacketParamValue)
        record.normalized = reinterpret_cast<const ParamValuePacket*>(packet)->normalized;
    else if (packet->type == lknet::kPacketParamString)
        record.text = std::string(receivedText(packet));
    else if (packet->type == lknet::kPacketParamColor)
        record.color = reinterpret_cast<const ParamColorPacket*>(packet)->color;
    else if (packet->type == lknet::kPacketJsonMessage || packet->type == lknet::kPacketZipMessage)
    {
        record.message.decode(packet);
        event += " " + record.messageId();
    }
    if (!record.path.empty())
        event += " " + record.path;
    events.push_back(event);
    sent.push_back(std::move(record));
    return 0;
}

int FakeNetwork::setConnection(int client, int server, int on, int)
{
    events.push_back("setConnection " + std::to_string(client) + " " + std::to_string(server) + " " +
                     std::to_string(on));
    return 0;
}

int FakeNetwork::handlePacket(int, const lknet::Packet* packet)
{
    events.push_back("transfer " + code(packet->type));
    return 5;
}

void FakeNetwork::cancelTransfers(int peer, int reason)
{
    events.push_back("cancel " + std::to_string(peer) + " " + std::to_string(reason));
}

} // namespace MirrorTest
