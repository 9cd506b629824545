// Feeds arbitrary bytes as a speaker preset file to a mirrored speaker through the preset reader.
// A file that is refused leaves every value as it was and says why; one that is taken, saved from
// the restored speaker and loaded again, gives the same values (a preset saved from a restored
// speaker is the preset it shows).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

#include "model/JsonCodec.h"
#include "speaker/PresetFile.h"
#include "speaker/SpeakerClasses.h"
#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerRootComponent.h"
#include "speaker/StorageFilter.h"
#include "tessel/Attributes.h"
#include "tessel/ComponentStorage.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/Initializer.h"
#include "tessel/SharedPtr.h"
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
    World()
    {
        Tessel::runInitializers();
        if (!Vellaris::registerSpeakerClasses())
            std::abort();
        Vellaris::JsonCodec::ensureInstalled();
        root = new Vellaris::LK::SpeakerRootComponent(&network, &network);
        root->connect(3);
        char pattern[] = "/tmp/fuzz-preset-XXXXXX";
        if (!::mkdtemp(pattern))
            std::abort();
        folder = pattern;
    }
    std::string folder;
    QuietNetwork network;
    Tessel::HeadlessPlatform platform;
    Tessel::AutoPtr<Vellaris::LK::SpeakerRootComponent> root;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static World* world = new World;
    static const std::string path = world->folder + "/input.preset";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    Tessel::Component& speaker = *world->root->getSpeaker();
    Vellaris::SpeakerPresetFilter filter;

    Tessel::Attributes before;
    Tessel::ComponentStorage::store(speaker, before, &filter);
    std::string problem;
    if (!Vellaris::PresetFile::load(speaker, path, &filter, problem))
    {
        Tessel::Attributes after;
        Tessel::ComponentStorage::store(speaker, after, &filter);
        if (!after.equals(before) || problem.empty())
            std::abort(); // a refused preset changed the speaker, or said nothing of why
        return 0;
    }
    // Saved from the restored speaker and loaded again, a preset gives the same values.
    Tessel::Attributes once;
    Tessel::ComponentStorage::store(speaker, once, &filter);
    const std::string saved = world->folder + "/saved.preset";
    if (!Vellaris::PresetFile::save(speaker, saved, &filter) ||
        !Vellaris::PresetFile::load(speaker, saved, &filter, problem))
        std::abort();
    Tessel::Attributes twice;
    Tessel::ComponentStorage::store(speaker, twice, &filter);
    if (!twice.equals(once))
        std::abort();
    world->platform.clearRecords();
    return 0;
}
