#include "tests/venue/VenueTestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "speaker/SpeakerClasses.h"
#include "tessel/ISystem.h"
#include "tessel/Initializer.h"
#include "tessel/Parameter.h"
#include "venue/SpeakerGroup.h"

namespace VenueTest
{

void VenueFixture::SetUp()
{
    makeDocuments("venue-test");
    inspector = new Tessel::Component("Inspector");
    inspector->getParams().addParam("showSpeakerProps", 104);
    Tessel::getRootComponent()->addChild(inspector);
    startSpeakerList();
    manager = Vellaris::VenueManager::create();
    manager->startup();
    venue = manager->getVenue();
    ASSERT_NE(venue, nullptr);
}

Vellaris::SpeakerPosition* VenueFixture::place(const std::string& serial, Vellaris::SpeakerGroup* group)
{
    if (!group)
        group = room()->getGroups().front();
    Tessel::AutoPtr<Vellaris::SpeakerPosition> position = new Vellaris::SpeakerPosition(serial);
    if (Vellaris::SpeakerNetworkItem* item = network->findItemBySerial(serial))
        position->setSpeaker(item, false);
    group->insertPosition(position);
    if (Vellaris::SpeakerRoom* owner = group->getRoom())
        owner->update();
    venue->placementChanged();
    return position;
}

} // namespace VenueTest
