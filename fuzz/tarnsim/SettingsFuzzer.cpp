// Feeds arbitrary bytes as the simulator's settings file: it is read as at start, the speaker is
// restored from its "Speaker" member, and the state the speaker then stores is written and read
// back: whatever the file held before, the one the simulator writes parses whole.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

#include "core/Attributes.h"
#include "tarnsim/SettingFile.h"
#include "tarnsim/SpeakerComponent.h"
#include "tests/common/IdleNetworkManager.h"

namespace
{

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
        char pattern[] = "/tmp/fuzz-settings-XXXXXX";
        if (!::mkdtemp(pattern))
            std::abort();
        folder = pattern;
        settings.setPath(folder + "/Tarn.settings");
    }
    QuietNetwork network;
    Vellaris::Tarn::SpeakerComponent speaker;
    Core::Portable::SettingFile settings;
    std::string folder;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static World* world = new World;
    {
        std::ofstream out(world->settings.path(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    world->settings.readNow();
    world->speaker.restoreState(world->settings.attributes().getAttributes("Speaker"));

    world->speaker.storeState(world->settings.attributes().setAttributes("Speaker"));
    if (!world->settings.writeNow())
        std::abort();
    if (!world->settings.readNow() || !world->settings.attributes().getAttributes("Speaker"))
        std::abort(); // what the simulator wrote it cannot read
    return 0;
}
