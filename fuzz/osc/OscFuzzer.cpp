// Feeds arbitrary datagrams to the desk's remote control over a small component tree: queries,
// sets, commands, watches and lists must never crash, never change a parameter beyond its range,
// and every reply must be a well-formed OSC message. The first byte picks one of four senders, so
// watches of several senders meet; some inputs move the clock past a lease.
#include <lo/lo.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "osc/OscDesk.h"
#include "tessel/Component.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/IParameter.h"
#include "tessel/ListParam.h"
#include "tessel/ParamContainer.h"
#include "tessel/Parameter.h"
#include "tessel/StringParam.h"

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
        getParams().addInteger(0, 100, "closeRoom[1]", 7);
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
    }
    Tessel::HeadlessPlatform platform;
    Mixer* mixer = nullptr;
    Vellaris::Osc::OscDesk desk{[](const Vellaris::Osc::OscPeer&, const void* data, size_t size)
                                {
                                    std::vector<char> copy(static_cast<const char*>(data),
                                                           static_cast<const char*>(data) + size);
                                    int result = 0;
                                    lo_message reply = lo_message_deserialise(copy.data(), size, &result);
                                    if (!reply)
                                        std::abort(); // the desk sent something that is not OSC
                                    lo_message_free(reply);
                                }};
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static World world;
    if (size == 0)
        return 0;
    Vellaris::Osc::OscPeer peer;
    peer.key = "127.0.0.1:" + std::to_string(50000 + (data[0] & 3));
    if (data[0] & 0x80)
        world.platform.advance(4000);
    world.desk.handlePacket(data + 1, size - 1, peer);
    double volume = world.mixer->volume->getValue().asDouble();
    if (!(volume >= -80 && volume <= 10))
        std::abort();
    if (world.desk.countLeases() > Vellaris::Osc::OscDesk::kMaxLeases)
        std::abort();
    return 0;
}
