#pragma once

#include <string>

namespace Vellaris
{

class Venue;
class VenueCacheItem;

// Where venues live and how they are written and read. Venue files are in the folder "Venues" and
// their summaries in "Cache", both inside "Vellaris/<application title>" of the user's documents
// folder. A venue's files are named after the venue's name (made a valid file name) and its
// venueID: "<name>_<venueID>.venue" and "<name>_<venueID>.cache". Both are JSON documents of the
// object's stored keys, always written through the file system's atomic write.
class VenueFiles
{
public:
    // "<documents>/Vellaris/<application title as a file name>".
    static std::string getBaseFolder();
    static std::string getVenuesFolder();
    static std::string getCacheFolder();
    // "<name>_<venueID>", with the name cleaned so that it never leaves the folder.
    static std::string getBaseName(const Venue& venue);
    static std::string getVenueFile(const Venue& venue);
    static std::string getCacheFile(const Venue& venue);
    // The summary file that belongs to `venueFile`.
    static std::string getCacheFileFor(const std::string& venueFile);

    // A venue is worth writing unless it is still empty: no speaker in any room, at most one room
    // and a name that is empty or "My New Venue".
    static bool isWorthSaving(const Venue& venue);
    // Writes the venue file and then its summary (unless the venue is not worth saving and
    // `force` is false). False when nothing was written or a write failed; a failed write leaves
    // the previous file as it was.
    static bool saveVenue(const Venue& venue, bool force);
    // Reads `url` into `venue`. A file that cannot be read, is not JSON or has values of the wrong
    // types is refused with a warning naming it, and the venue stays as it was. With
    // `bindSpeakers` the positions take the live speakers and push their stored settings onto them
    // (the open venue); without, the venue is only read (a summary, a rename).
    static bool loadVenue(Venue& venue, const std::string& url, bool bindSpeakers = true);
    // Reads the summary of `venueFile` into `item`; when the summary cannot be read, the venue
    // file itself is read and summarised. False when neither can be read.
    static bool loadCache(VenueCacheItem& item, const std::string& venueFile);
    // Fills `item` from `venue`; `id` is left empty as in a written summary unless `withId`.
    static void summarise(const Venue& venue, VenueCacheItem& item, bool withId);
};

} // namespace Vellaris
