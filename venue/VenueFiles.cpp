#include "venue/VenueFiles.h"

#include "core/FileStream.h"
#include "model/JsonCodec.h"
#include "tessel/Application.h"
#include "tessel/Attributes.h"
#include "tessel/FileUtilities.h"
#include "tessel/IFileSystem.h"
#include "tessel/ISystem.h"
#include "tessel/Json.h"
#include "tessel/Platform.h"
#include "tessel/SharedPtr.h"
#include "tessel/Warning.h"
#include "venue/Venue.h"
#include "venue/VenueCacheItem.h"

namespace Vellaris
{

namespace
{
constexpr const char* kCompanyFolder = "Vellaris";
constexpr const char* kNewVenueName = "My New Venue";

std::string applicationTitle()
{
    Tessel::Application* application = Tessel::Application::getApplication();
    return application ? application->getAppTitle() : std::string();
}
} // namespace

std::string VenueFiles::getBaseFolder()
{
    using Tessel::FileUtilities;
    const std::string documents = Tessel::GetSystem()->getLocation(Tessel::Location::kDocuments);
    return FileUtilities::joinPath(FileUtilities::joinPath(documents, kCompanyFolder),
                                   FileUtilities::makeValidFileName(applicationTitle()));
}

std::string VenueFiles::getVenuesFolder()
{
    return Tessel::FileUtilities::joinPath(getBaseFolder(), "Venues");
}

std::string VenueFiles::getCacheFolder()
{
    return Tessel::FileUtilities::joinPath(getBaseFolder(), "Cache");
}

std::string VenueFiles::getBaseName(const Venue& venue)
{
    // The stored title is what a reloaded venue will be called, so a venue keeps one file.
    return Tessel::FileUtilities::makeValidFileName(venue.getStoredTitle()) + "_" +
           Tessel::FileUtilities::makeValidFileName(venue.getVenueID());
}

std::string VenueFiles::getVenueFile(const Venue& venue)
{
    return Tessel::FileUtilities::joinPath(getVenuesFolder(), getBaseName(venue) + ".venue");
}

std::string VenueFiles::getCacheFile(const Venue& venue)
{
    return Tessel::FileUtilities::joinPath(getCacheFolder(), getBaseName(venue) + ".cache");
}

std::string VenueFiles::getCacheFileFor(const std::string& venueFile)
{
    return Tessel::FileUtilities::joinPath(getCacheFolder(),
                                           Tessel::FileUtilities::getBaseName(venueFile) + ".cache");
}

bool VenueFiles::isWorthSaving(const Venue& venue)
{
    const std::string name = venue.getVenueName();
    const bool empty =
        venue.countPositions() == 0 && venue.countRooms() <= 1 && (name.empty() || name == kNewVenueName);
    return !empty;
}

void VenueFiles::summarise(const Venue& venue, VenueCacheItem& item, bool withId)
{
    item.numSpeakers = venue.countPositions();
    item.numGroups = venue.countRooms();
    item.name = venue.getVenueName();
    item.id = withId ? venue.getVenueID() : std::string();
}

bool VenueFiles::saveVenue(const Venue& venue, bool force)
{
    if (!force && !isWorthSaving(venue))
        return false;
    JsonCodec::ensureInstalled();
    Tessel::IFileSystem* files = Tessel::GetFileSystem();
    files->createFolder(getVenuesFolder());
    files->createFolder(getCacheFolder());

    Tessel::Attributes stored;
    venue.save(stored);
    if (!stored.saveToFile(getVenueFile(venue)))
        return false;
    Tessel::AutoPtr<VenueCacheItem> summary = new VenueCacheItem;
    summarise(venue, *summary, false);
    Tessel::Attributes cache;
    summary->save(cache);
    return cache.saveToFile(getCacheFile(venue));
}

bool VenueFiles::loadVenue(Venue& venue, const std::string& url, bool bindSpeakers)
{
    JsonCodec::ensureInstalled();
    // A desk killed while saving left its temporary files; the venue reopened at start drops them.
    Core::Portable::FileStream::removeStaleTemporaries(url);
    Core::Portable::FileStream::removeStaleTemporaries(getCacheFileFor(url));
    std::string bytes;
    if (!Tessel::GetFileSystem()->readFile(url, bytes))
    {
        Tessel::warning("Venue file \"%s\" cannot be read\n", url.c_str());
        return false;
    }
    Tessel::Attributes stored;
    if (!Tessel::JsonParse(bytes, stored))
    {
        Tessel::warning("Venue file \"%s\" is not a JSON document; the open venue stays\n", url.c_str());
        return false;
    }
    std::string problem;
    if (!Venue::checkStoredForm(stored, problem))
    {
        Tessel::warning("Venue file \"%s\" refused: %s; the open venue stays\n", url.c_str(),
                        problem.c_str());
        return false;
    }
    venue.load(stored, bindSpeakers);
    return true;
}

bool VenueFiles::loadCache(VenueCacheItem& item, const std::string& venueFile)
{
    JsonCodec::ensureInstalled();
    Tessel::Attributes cache;
    if (cache.loadFromFile(getCacheFileFor(venueFile)) && item.load(cache))
        return true;
    Tessel::AutoPtr<Venue> temporary = new Venue;
    if (!loadVenue(*temporary, venueFile, false))
        return false;
    summarise(*temporary, item, true);
    temporary->closeAllRooms();
    return true;
}

} // namespace Vellaris
