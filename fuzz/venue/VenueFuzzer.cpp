// Feeds arbitrary bytes as a venue file to the open venue: a file that is not JSON or holds values
// of the wrong types is refused and leaves the venue as it was; one that is read is written back
// and must read again (a venue the desk opened must always be one it can save and reopen).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/venue/VenueWorld.h"
#include "tessel/Attributes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static FuzzInput::VenueWorld* world = new FuzzInput::VenueWorld;
    const std::string file = world->documents + "/input.venue";
    FuzzInput::VenueWorld::writeFile(file, data, size);

    Tessel::Attributes before;
    world->venue->save(before);
    if (!Vellaris::VenueFiles::loadVenue(*world->venue, file))
    {
        Tessel::Attributes after;
        world->venue->save(after);
        if (!after.equals(before))
            std::abort(); // a refused file changed the open venue
        world->platform.clearRecords();
        return 0;
    }
    if (!Vellaris::VenueFiles::saveVenue(*world->venue, true))
        std::abort();
    const std::string written = Vellaris::VenueFiles::getVenueFile(*world->venue);
    if (!Vellaris::VenueFiles::loadVenue(*world->venue, written))
        std::abort(); // what the desk wrote it cannot read
    std::remove(written.c_str());
    std::remove(Vellaris::VenueFiles::getCacheFile(*world->venue).c_str());
    world->platform.advance(10);
    world->platform.clearRecords();
    return 0;
}
