#pragma once

// A stand-in for lknet's network manager that records what is sent and
// answers send() as a test tells it to.

#include "lknet/lknet.h"
#include "protocol/MessageAttributes.h"
#include "tests/common/IdleNetworkManager.h"

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace TestSupport
{

// One packet as sent: its record bytes, and for "JM"/"ZM" the data.
struct SentPacket
{
    std::vector<unsigned char> bytes;
    std::string data;
    bool meters = false;
    int result = 0;

    const lknet::Packet& header() const { return *reinterpret_cast<const lknet::Packet*>(bytes.data()); }
    uint32_t type() const { return header().type; }
    template <class T> const T& as() const { return *reinterpret_cast<const T*>(bytes.data()); }
    bool isJson() const { return type() == lknet::kPacketJsonMessage || type() == lknet::kPacketZipMessage; }
    // Decodes a "JM"/"ZM" packet.
    Vellaris::LK::MessageAttributes message() const
    {
        Vellaris::LK::MessageAttributes decoded;
        lknet::JsonPacket record = as<lknet::JsonPacket>();
        record.data = data.data();
        record.length = static_cast<uint32_t>(data.size());
        decoded.decode(&record.header);
        return decoded;
    }
};

class FakeNetworkManager : public TestSupport::IdleNetworkManager
{
public:
    std::vector<SentPacket> sent;
    // Decides the result of each send (default: 0).
    std::function<int(const lknet::Packet*)> answer;
    std::vector<std::pair<int, int>> cancelled;

    int registerServer(int* handle, lknet::IEventHandler*, const lknet::ServerDescriptor*, int) override
    {
        *handle = 7;
        return 0;
    }
    int registerClient(int* handle, lknet::IEventHandler*) override
    {
        *handle = 9;
        return 0;
    }
    int send(const lknet::Packet* packet, int) override { return record(packet, false); }
    int sendMeters(const lknet::Packet* packet) override { return record(packet, true); }
    int pollDescriptors(std::vector<pollfd>&) override { return 1000; }

    // Packets of one type sent with send() (not meters).
    std::vector<const SentPacket*> ofType(uint32_t type) const
    {
        std::vector<const SentPacket*> found;
        for (const SentPacket& packet : sent)
        {
            if (!packet.meters && packet.type() == type)
                found.push_back(&packet);
        }
        return found;
    }
    int meterCount() const
    {
        int count = 0;
        for (const SentPacket& packet : sent)
            count += packet.meters ? 1 : 0;
        return count;
    }

private:
    int record(const lknet::Packet* packet, bool meters)
    {
        SentPacket copy;
        const unsigned char* bytes = reinterpret_cast<const unsigned char*>(packet);
        copy.bytes.assign(bytes, bytes + packet->size);
        copy.meters = meters;
        if (packet->type == lknet::kPacketJsonMessage || packet->type == lknet::kPacketZipMessage)
        {
            const auto* record = reinterpret_cast<const lknet::JsonPacket*>(packet);
            copy.data.assign(record->data, record->length);
        }
        copy.result = answer ? answer(packet) : 0;
        sent.push_back(copy);
        return copy.result;
    }
};

class FakeFileTransferManager : public lknet::IFileTransferManager
{
public:
    std::vector<std::pair<int, int>> cancelled; // (peer, reason)
    int handled = 0;
    int handlePacket(int, const lknet::Packet*) override
    {
        ++handled;
        return 42;
    }
    void cancelTransfers(int peer, int reason) override { cancelled.emplace_back(peer, reason); }
};

} // namespace TestSupport
