// Feeds arbitrary packets from a subscribed desk to the simulator's speaker: parameter values and
// texts, JSON messages ("Subscribe", "Synchronize", "InvokeMenu", "requestNetworkChange" …) routed
// by their "url". Nothing may crash, hang or leak.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/mirror/PacketInput.h"
#include "formats/Formats.h"
#include "protocol/MessageAttributes.h"
#include "protocol/MessageNames.h"
#include "tarnsim/SpeakerComponent.h"
#include "tests/common/IdleNetworkManager.h"

namespace
{

constexpr uint32_t kServer = 3;
constexpr uint32_t kClient = 7;

class QuietNetwork : public TestSupport::IdleNetworkManager, public lknet::IFileTransferManager
{
public:
    int handlePacket(int, const lknet::Packet*) override { return 0; }
    void cancelTransfers(int, int) override {}
};

struct World
{
    World() : speaker(&network, &network)
    {
        speaker.server().setHandle(kServer);
        speaker.server().setClock([this] { return now; });
        subscribe();
    }
    void subscribe()
    {
        Vellaris::LK::MessageAttributes message(Vellaris::LK::Message::kSubscribe, kClient, kServer);
        message.setText(Vellaris::LK::Message::kClientName, "fuzz");
        message.setText(Vellaris::LK::Message::kClientType, "roomdesk");
        Vellaris::LK::EncodedMessage encoded;
        if (message.encode(encoded, Vellaris::LK::MessageEncoding::Plain))
            speaker.server().handlePacket(static_cast<int>(kServer), encoded.packet());
    }
    QuietNetwork network;
    Vellaris::Tarn::SpeakerComponent speaker;
    int64_t now = 1000;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static World* world = new World;
    FuzzInput::PacketInput input(data, size, kClient, kServer);
    if (!input.packet())
        return 0;
    world->speaker.server().handlePacket(static_cast<int>(kServer), input.packet());
    world->now += 100;
    world->speaker.idle();
    if (!world->speaker.server().hasSubscriptions())
        world->subscribe(); // an "Unsubscribe" arrived: the next input finds a subscriber again
    return 0;
}
