#pragma once

// The desk's venue side without a network: a headless platform whose documents folder is a
// private temporary folder, the application, a speaker list over a silent network library, the
// venue manager and its open venue. Files the fuzzers write go below that folder.
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

#include "speaker/SpeakerClasses.h"
#include "speaker/SpeakerNetworkManager.h"
#include "tessel/Application.h"
#include "tessel/Component.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/IFileSystem.h"
#include "tessel/Initializer.h"
#include "tessel/Platform.h"
#include "tests/common/IdleNetworkManager.h"
#include "venue/Venue.h"
#include "venue/VenueFiles.h"
#include "venue/VenueManager.h"

namespace FuzzInput
{

class SilentLibrary : public TestSupport::IdleNetworkManager
{
};

struct VenueWorld
{
    VenueWorld()
    {
        Tessel::runInitializers();
        if (!Vellaris::registerSpeakerClasses())
            std::abort();
        char pattern[] = "/tmp/fuzz-venue-XXXXXX";
        if (!::mkdtemp(pattern))
            std::abort();
        documents = pattern;
        platform.setFolder(Tessel::Location::kDocuments, documents);
        new Tessel::Application("roomdesk", "Ambrel");
        network = new Vellaris::SpeakerNetworkManager(&library);
        Tessel::getRootComponent()->addChild(network);
        network->startup();
        manager = Vellaris::VenueManager::create();
        manager->startup();
        venue = manager->getVenue();
        if (!venue)
            std::abort();
        Tessel::GetFileSystem()->createFolder(Vellaris::VenueFiles::getBaseFolder());
        Tessel::GetFileSystem()->createFolder(Vellaris::VenueFiles::getVenuesFolder());
        Tessel::GetFileSystem()->createFolder(Vellaris::VenueFiles::getCacheFolder());
    }

    static void writeFile(const std::string& path, const std::uint8_t* data, std::size_t size)
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }

    SilentLibrary library;
    Tessel::HeadlessPlatform platform;
    std::string documents;
    Vellaris::SpeakerNetworkManager* network = nullptr;
    Vellaris::VenueManager* manager = nullptr;
    Vellaris::Venue* venue = nullptr;
};

} // namespace FuzzInput
