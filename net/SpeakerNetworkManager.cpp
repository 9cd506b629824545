#include "net/SpeakerNetworkManager.h"

#include "lknet/lknet.h"
#include "tessel/ISystem.h"
#include "tessel/Platform.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS_NAMED(SpeakerNetworkManager, Tessel::Component, "SpeakerNetworkManager")

SpeakerNetworkManager::SpeakerNetworkManager()
    : Tessel::Component("SpeakerNetwork", "SpeakerNetwork"), idle([] { lknet::LKGetNetworkManager()->process(); })
{
    attach(this);
}

SpeakerNetworkManager::~SpeakerNetworkManager()
{
    idle.stop();
    detach(this);
}

void SpeakerNetworkManager::startup()
{
    lknet::INetworkManager* network = lknet::LKGetNetworkManager();
    std::string computerName = Tessel::GetSystem()->getComputerName();
    network->configure(computerName.c_str());
    started = network->startup() == 0;
    if (started)
        idle.start(0, true);
}

void SpeakerNetworkManager::shutdown()
{
    idle.stop();
    if (started)
        lknet::LKGetNetworkManager()->shutdown();
    started = false;
}

void SpeakerNetworkManager::deselectAll()
{
    // Speaker items arrive with the speaker list; until then nothing is selected.
}

} // namespace Vellaris
