#pragma once

// A network library stand-in for the mirror's unit tests: records what the client sends and asks
// for, in order, and hands nothing back by itself.

#include <string>
#include <vector>

#include "lknet/lknet.h"
#include "protocol/MessageAttributes.h"
#include "tests/common/IdleNetworkManager.h"

namespace MirrorTest
{

struct SentPacket
{
    uint32_t type = 0;
    uint32_t source = 0;
    uint32_t destination = 0;
    std::string path;                        // parameter packets
    float normalized = 0;                    // "PV"
    std::string text;                        // "PS"
    uint32_t color = 0;                      // "PC"
    Vellaris::LK::MessageAttributes message; // "JM"/"ZM"
    std::string messageId() const { return std::string(message.messageId()); }
};

class FakeNetwork : public TestSupport::IdleNetworkManager, public lknet::IFileTransferManager
{
public:
    static constexpr int kClientHandle = 7;

    // Every call in order: "setConnection 7 3 1", "send KA", "send JM Subscribe", "cancel 7 0", ...
    std::vector<std::string> events;
    std::vector<SentPacket> sent;
    lknet::IEventHandler* handler = nullptr;

    // Sent packets of one type (and, for JSON, one message id).
    std::vector<SentPacket> ofType(uint32_t type, const std::string& id = {}) const;
    void clear()
    {
        events.clear();
        sent.clear();
    }

    int registerClient(int* handle, lknet::IEventHandler* eventHandler) override;
    int unregisterClient(lknet::IEventHandler* eventHandler) override;
    int send(const lknet::Packet* packet, int flags) override;
    int setConnection(int client, int server, int on, int wasOn) override;

    // IFileTransferManager.
    int handlePacket(int context, const lknet::Packet* packet) override;
    void cancelTransfers(int peer, int reason) override;
};

} // namespace MirrorTest
