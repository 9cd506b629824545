// Feeds arbitrary packets from a speaker to the desk's mirror of it: a speaker tree built from the
// model and connected, as after a "Subscribe". Values, texts, lists, ranges and JSON messages
// ("Synchronize", "UpdateMenu", "SubscriptionLost" and whatever else arrives) must never crash,
// hang or leak. The tree lives across inputs, as a long connection's does.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/mirror/PacketInput.h"
#include "speaker/SpeakerClasses.h"
#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerRootComponent.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/Initializer.h"
#include "tessel/SharedPtr.h"
#include "tests/common/IdleNetworkManager.h"

namespace
{

constexpr int kServer = 3;
constexpr int kClient = 7;

class QuietNetwork : public TestSupport::IdleNetworkManager, public lknet::IFileTransferManager
{
public:
    int registerClient(int* handle, lknet::IEventHandler*) override
    {
        *handle = kClient;
        return 0;
    }
    int handlePacket(int, const lknet::Packet*) override { return 0; }
    void cancelTransfers(int, int) override {}
};

struct World
{
    World()
    {
        Tessel::runInitializers();
        if (!Vellaris::registerSpeakerClasses())
            std::abort();
        platform.setTime(50000);
        root = new Vellaris::LK::SpeakerRootComponent(&network, &network);
        root->connect(kServer);
    }
    QuietNetwork network;
    Tessel::HeadlessPlatform platform;
    Tessel::AutoPtr<Vellaris::LK::SpeakerRootComponent> root;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static World* world = new World; // lives for the whole run, as a connection does
    FuzzInput::PacketInput input(data, size, kServer, kClient);
    if (!input.packet())
        return 0;
    world->root->handlePacket(kClient, input.packet());
    world->platform.advance(10);
    world->platform.clearRecords(); // warnings would pile up over millions of inputs
    return 0;
}
