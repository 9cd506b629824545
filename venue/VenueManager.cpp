#include "venue/VenueManager.h"

#include "speaker/SpeakerNetworkManager.h"
#include "speaker/WifiSetupSide.h"
#include "tessel/IParameter.h"
#include "tessel/Parameter.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS_NAMED(VenueManager, Tessel::Component, "VenueManager")

VenueManager::VenueManager() : Tessel::Component("VenueManager", "VenueManager")
{
    showVenue = getParams().addParam("showVenue", kShowVenueTag);
    showNetwork = getParams().addParam("showNetwork", kShowNetworkTag);
    attach(this);
}

VenueManager::~VenueManager()
{
    detach(this);
}

void* VenueManager::queryInterface(const Tessel::UID& iid)
{
    TESSEL_QUERY_INTERFACE(IVenueSide)
    return Component::queryInterface(iid);
}

bool VenueManager::isShowingVenue() const
{
    return showVenue->getValue().asInt() != 0;
}

bool VenueManager::isShowingNetwork() const
{
    return showNetwork->getValue().asInt() != 0;
}

void VenueManager::paramChanged(Tessel::IParameter* param)
{
    if (param != showNetwork)
        return;
    const bool on = isShowingNetwork();
    if (on)
        if (IWifiSetup* wifi = findWifiSetup())
            wifi->refresh();
    // Only a speaker list that exists already; this switch never starts the network.
    Tessel::Component* found = Tessel::getRootComponent()->findChild(SpeakerNetworkManager::kComponentName);
    if (SpeakerNetworkManager* speakers = Tessel::classCast<SpeakerNetworkManager>(found))
        speakers->setNetworkSetupMode(on);
}

} // namespace Vellaris
