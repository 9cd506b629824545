// Feeds arbitrary WebSocket text messages to the tablet remote's desk over a small component
// tree: gets, sets, held controls, commands, watches, curves and lists must never crash, never
// change a parameter beyond its range, never keep more watches or held controls than a page may,
// and every reply must be one JSON object with an "op". The first byte picks one of four pages
// (one of them read-only at times), opens or closes it, and may move the clock past a period.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/Attributes.h"
#include "core/JsonReader.h"
#include "tessel/Component.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/IParameter.h"
#include "tessel/ListParam.h"
#include "tessel/ParamContainer.h"
#include "tessel/Parameter.h"
#include "tessel/StringParam.h"
#include "web/WebDesk.h"

namespace
{

class Mixer : public Tessel::Component
{
public:
    Mixer() : Component("Mixer")
    {
        volume = getParams().addFloat(-80, 10, "volume", 1);
        getParams().addParam("mute", 2);
        Tessel::ListParam* voicing = getParams().addList("voicing", 3);
        voicing->appendEntry("Off");
        voicing->appendEntry("On");
        getParams().addString("nickname", 4);
        getParams().addFloat(0, 1, "locked", 5)->setFlag(Tessel::ParamFlags::kReadOnly, true);
        getParams().addCommand("Speaker", "Increase Volume", "volumeUp", 6);
        getParams().addString("password", 7)->setFlag(Tessel::ParamFlags::kSecret, true);
        addChild(new Tessel::Component("Hall_{0A1B}"));
    }
    bool interpretCommand(const Tessel::CommandMsg&) override { return true; }
    Tessel::IParameter* volume = nullptr;
};

struct World
{
    World()
    {
        mixer = new Mixer;
        Tessel::getRootComponent()->addChild(mixer);
        for (auto& page : pages)
            page = desk.openClient();
    }
    Tessel::HeadlessPlatform platform;
    Mixer* mixer = nullptr;
    Vellaris::Web::WebDesk desk{[](Vellaris::Web::WebDesk::ClientId, const std::string& text)
                                {
                                    Core::Portable::Attributes reply;
                                    if (!Core::Portable::JsonReader::parse(text, reply) ||
                                        reply.getText("op").empty())
                                        std::abort(); // the desk sent something that is no message
                                }};
    Vellaris::Web::WebDesk::ClientId pages[4] = {};
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static World world;
    if (size == 0)
        return 0;
    const std::uint8_t control = data[0];
    auto& page = world.pages[control & 3];
    if ((control & 0x0c) == 0x0c)
    {
        // The page goes and another comes in its place.
        world.desk.closeClient(page);
        page = world.desk.openClient();
    }
    world.desk.setReadOnly((control & 0x10) != 0 && (control & 3) == 3);
    if (control & 0x80)
        world.platform.advance(Vellaris::Web::WebDesk::kCoalesceMs);
    world.desk.handleText(page, std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
    world.desk.flush(true);
    const double volume = world.mixer->volume->getValue().asDouble();
    if (!(volume >= -80 && volume <= 10))
        std::abort();
    for (auto client : world.pages)
        if (world.desk.countWatches(client) > Vellaris::Web::WebDesk::kMaxWatchesPerClient ||
            world.desk.countGestures(client) > Vellaris::Web::WebDesk::kMaxGesturesPerClient)
            std::abort();
    return 0;
}
