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

void VenueFixture::SetUpTestSuite()
{
    Tessel::runInitializers();
    ASSERT_TRUE(Vellaris::registerSpeakerClasses());
}

void VenueFixture::SetUp()
{
    char pattern[] = "/tmp/venue-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    documents = pattern;
    platform.setFolder(Tessel::Location::kDocuments, documents);
    new Tessel::Application("roomdesk", "Ambrel"); // adds itself below the root
    inspector = new Tessel::Component("Inspector");
    inspector->getParams().addParam("showSpeakerProps", 104);
    Tessel::getRootComponent()->addChild(inspector);
    network = new Vellaris::SpeakerNetworkManager(&library);
    Tessel::getRootComponent()->addChild(network);
    network->startup();
    manager = Vellaris::VenueManager::create();
    manager->startup();
    venue = manager->getVenue();
    ASSERT_NE(venue, nullptr);
}

void VenueFixture::TearDown()
{
    Tessel::destroyRootComponent();
    std::error_code ignored;
    std::filesystem::remove_all(documents, ignored);
}

Vellaris::SpeakerNetworkItem* VenueFixture::announce(int server, const char* serial, const char* model)
{
    library.setDevice(server, "127.0.0.1", "", uint16_t(4000 + server));
    library.announce(server, model, "SPK", serial);
    platform.advance(0);
    // The item of this server (a duplicate serial gets its own item).
    if (Vellaris::LK::NetworkItem* item = network->findItemByServerId(uint32_t(server)))
        return Tessel::classCast<Vellaris::SpeakerNetworkItem>(item);
    return nullptr;
}

void VenueFixture::withdraw(int server)
{
    library.withdraw(server);
    platform.advance(0);
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

Tessel::IParameter* VenueFixture::param(Vellaris::SpeakerNetworkItem* item, const std::string& path)
{
    return item->getSpeakerComponent()->lookupParameter(path);
}

double VenueFixture::value(Vellaris::SpeakerNetworkItem* item, const std::string& path)
{
    Tessel::IParameter* found = param(item, path);
    return found ? found->getValue().asDouble() : -12345.0;
}

std::string VenueFixture::readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool VenueFixture::warned(const std::string& text) const
{
    for (const std::string& warning : platform.getWarnings())
        if (warning.find(text) != std::string::npos)
            return true;
    return false;
}

} // namespace VenueTest
