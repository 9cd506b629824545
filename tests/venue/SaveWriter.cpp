// A desk that does nothing but save: the headless core with an open venue of several rooms and a
// speaker preset, both written again and again through the desk's own writers, each version with
// the next generation number (the active room's title "Gen <n>", the preset's "generation").
// Usage: saves_writer DOCUMENTS. Prints "venue PATH", "preset PATH" and "saving", then saves until
// killed, printing "saved" once the first round is written. The save test kills it at random
// moments.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "model/JsonCodec.h"
#include "speaker/PresetFile.h"
#include "speaker/SpeakerClasses.h"
#include "speaker/SpeakerNetworkManager.h"
#include "tessel/Application.h"
#include "tessel/Component.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/IFileSystem.h"
#include "tessel/Initializer.h"
#include "tessel/ParamContainer.h"
#include "tessel/ParamTypes.h"
#include "tessel/Parameter.h"
#include "tessel/Platform.h"
#include "tessel/StringParam.h"
#include "tests/common/IdleNetworkManager.h"
#include "venue/SpeakerRoom.h"
#include "venue/Venue.h"
#include "venue/VenueFiles.h"
#include "venue/VenueManager.h"

namespace
{

class SilentLibrary : public TestSupport::IdleNetworkManager
{
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: saves_writer DOCUMENTS\n");
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    SilentLibrary library;
    Tessel::HeadlessPlatform platform;
    Tessel::runInitializers();
    if (!Vellaris::registerSpeakerClasses())
        return 1;
    Vellaris::JsonCodec::ensureInstalled();
    platform.setFolder(Tessel::Location::kDocuments, argv[1]);
    new Tessel::Application("roomdesk", "Ambrel");
    auto* network = new Vellaris::SpeakerNetworkManager(&library);
    Tessel::getRootComponent()->addChild(network);
    network->startup();
    Vellaris::VenueManager* manager = Vellaris::VenueManager::create();
    manager->startup();
    Vellaris::Venue* venue = manager->getVenue();
    if (!venue)
        return 1;

    // The same venue every run: its file is found by the name, and reopened as the desk does at
    // start (which also drops what a killed writer left beside it).
    const std::string folder = Vellaris::VenueFiles::getVenuesFolder();
    Tessel::GetFileSystem()->createFolder(Vellaris::VenueFiles::getBaseFolder());
    Tessel::GetFileSystem()->createFolder(folder);
    const std::string known = std::string(argv[1]) + "/venue-path";
    std::string venueFile;
    if (Tessel::GetFileSystem()->readFile(known, venueFile) && !venueFile.empty())
        Vellaris::VenueFiles::loadVenue(*venue, venueFile);
    else
    {
        venue->setVenueName("Crash");
        for (int i = 0; i < 12; ++i)
            venue->newRoom(false);
        venueFile = Vellaris::VenueFiles::getVenueFile(*venue);
        Tessel::GetFileSystem()->writeFile(known, venueFile);
    }

    Tessel::AutoPtr<Tessel::Component> preset = new Tessel::Component("Speaker");
    Tessel::Parameter* generation = preset->getParams().addFloat(0, 1e9, "generation", 1);
    generation->setFlag(Tessel::ParamFlags::kStorable, true);
    Tessel::StringParam* notes = preset->getParams().addString("notes", 2);
    notes->setFlag(Tessel::ParamFlags::kStorable, true);
    notes->fromString(std::string(3000, 'n'), false);
    const std::string presetFile = std::string(argv[1]) + "/Balcony.preset";

    std::printf("venue %s\npreset %s\nsaving\n", venueFile.c_str(), presetFile.c_str());
    for (long n = 1;; ++n)
    {
        venue->getRoom(0)->setRoomTitle("Gen " + std::to_string(n));
        if (!Vellaris::VenueFiles::saveVenue(*venue, true))
            return 1;
        generation->setValue(Tessel::Variant(double(n)), false);
        if (!Vellaris::PresetFile::save(*preset, presetFile, nullptr))
            return 1;
        if (n == 1)
            std::printf("saved\n"); // every file was written once by this process
    }
}
