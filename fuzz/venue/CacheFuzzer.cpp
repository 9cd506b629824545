// Feeds arbitrary bytes as a venue's summary file to the venue list's reader, with no venue file
// beside it (the fallback reads nothing). A summary that is refused leaves the item untouched.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/venue/VenueWorld.h"
#include "tessel/SharedPtr.h"
#include "venue/VenueCacheItem.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static FuzzInput::VenueWorld* world = new FuzzInput::VenueWorld;
    const std::string venueFile = Vellaris::VenueFiles::getVenuesFolder() + "/Hall_{0A1B}.venue";
    FuzzInput::VenueWorld::writeFile(Vellaris::VenueFiles::getCacheFileFor(venueFile), data, size);

    Tessel::AutoPtr<Vellaris::VenueCacheItem> item = new Vellaris::VenueCacheItem;
    item->name = "unchanged";
    item->numSpeakers = 17;
    if (!Vellaris::VenueFiles::loadCache(*item, venueFile) &&
        (item->name != "unchanged" || item->numSpeakers != 17))
        std::abort();
    world->platform.clearRecords();
    return 0;
}
