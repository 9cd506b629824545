#pragma once

// The simulator's server classes as a speaker for the desk's mirror, with the packets between the
// two held in memory: each is carried byte for byte as the library carries it and delivered when a
// test says, in the order it was sent (a connection never reorders).

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "lknet/lknet.h"
#include "tarnsim/Parameter.h"
#include "tarnsim/ServerRootComponent.h"
#include "tests/common/IdleNetworkManager.h"

namespace Vellaris::LK
{
class ClientRootComponent;
}

namespace MirrorTest
{

constexpr int kServedHandle = 3;
constexpr int kDeskHandle = 7;

class Wire
{
public:
    // One end of the wire, as the network library of the desk or of the speaker.
    class End : public TestSupport::IdleNetworkManager, public lknet::IFileTransferManager
    {
    public:
        End(Wire& wire, bool desk) : wire(wire), desk(desk) {}
        int registerClient(int* handle, lknet::IEventHandler*) override
        {
            *handle = kDeskHandle;
            return 0;
        }
        int send(const lknet::Packet* packet, int) override
        {
            wire.carry(*packet, desk ? wire.toServer : wire.toDesk);
            return 0;
        }
        int handlePacket(int, const lknet::Packet*) override { return 0; }
        void cancelTransfers(int, int) override {}

    private:
        Wire& wire;
        bool desk;
    };

    // One record in flight: a fixed record's bytes, or a JSON record's header and its data.
    struct InFlight
    {
        std::vector<uint64_t> record; // 8-byte aligned storage for the record
        std::string data;             // "JM"/"ZM" data
        bool json = false;
    };

    End deskEnd{*this, true};
    End serverEnd{*this, false};
    std::deque<InFlight> toServer, toDesk;
    std::vector<std::string> serverPaths; // paths of the parameter packets the server received

    void carry(const lknet::Packet& packet, std::deque<InFlight>& queue);
    // Delivers what is in flight to the server (its answers queue up for the desk).
    void deliverToServer(Core::Portable::ServerRootComponent& server);
    // Delivers at most `count` packets in flight to the desk, oldest first.
    void deliverToDesk(Vellaris::LK::ClientRootComponent& desk, size_t count = SIZE_MAX);
    // Delivers everything in flight, both ways, until both directions are quiet.
    void pump(Vellaris::LK::ClientRootComponent& desk, Core::Portable::ServerRootComponent& server);
};

// The emulated speaker's tree (the speaker's own parameters, "line/ch1" with "limit" and "eq"),
// served at the root or below a top-level "Speaker" component.
class ServedSpeaker : public Core::Portable::ServerRootComponent
{
public:
    ServedSpeaker(Wire::End& network, bool levelled);
    // The parameter `name` of the component at `component` ("" for the speaker's own), or nullptr.
    Core::Portable::Parameter* param(const std::string& component, const char* name);
    // "Speaker/" for a tree served below the level, else empty.
    std::string prefix;
};

} // namespace MirrorTest
