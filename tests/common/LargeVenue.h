// A venue of real size for skin tests, integration tests and benchmarks: twelve rooms, the first
// ("Main Hall") holding 64 placed speakers in five groups plus an empty sixth group, the others a
// group or two each and a few speakers. Serial numbers count up from 100000000, the numbers
// tarnfleet gives its speakers, so a fleet of 64 fills the main hall. Nothing here is the desk's
// own code: the text is written as the desk stores a venue.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace LargeVenue
{

constexpr const char* kVenueID = "{0123ABCD-0000-4000-8000-0000000000BB}";
constexpr const char* kTitle = "Arena Tour";
constexpr long long kFirstSerial = 100000000LL;
constexpr int kMainHallSpeakers = 64;

// The entry of the venue in the desk's venue list, for "invoke <entry>loadVenue".
inline std::string historyEntry()
{
    return std::string("/roomdesk/VenueManager/HistoryList/") + kTitle + "_" + kVenueID + "/";
}

inline const std::vector<std::string>& roomTitles()
{
    static const std::vector<std::string> titles{
        "Main Hall",    "Balcony Left", "Balcony Right", "Foyer",       "VIP Lounge",    "Bar North",
        "Bar South",    "Green Room",   "Press Centre",  "Outdoor Stage", "Catering Tent", "Backstage Corridor"};
    return titles;
}

struct Group
{
    int type = 3; // 1 Subs, 2 Mids, 3 Tops, 4 custom
    std::string title;
    int speakers = 0;
};

// The groups of room `room` (0-based).
inline std::vector<Group> groupsOf(int room)
{
    if (room == 0)
        return {{1, "Subs", 16}, {2, "Mids", 12}, {3, "Tops", 20}, {4, "Front Fills", 12},
                {4, "Delays", 4}, {4, "Spare", 0}};
    if (room % 3 == 1)
        return {{3, "Tops", 2}, {1, "Subs", 1}};
    return {{3, "Tops", room % 3 == 0 ? 0 : 3}};
}

// The venue file's text. Speakers of a group stand in rows of eight, one cell apart, each group
// below the one before, as an engineer places them on the grid (cell 160 × 200, grid 40).
inline std::string venueText()
{
    std::ostringstream out;
    out << R"({"venueID":")" << kVenueID << R"(","title":")" << kTitle << R"(","rooms":[)";
    long long serial = kFirstSerial;
    for (int room = 0; room < int(roomTitles().size()); ++room)
    {
        out << (room ? "," : "") << R"({"roomID":"{0123ABCD-0000-4000-8000-0000000001)" << (room < 10 ? "0" : "")
            << room << R"(}","title":")" << roomTitles()[size_t(room)] << R"(","groups":[)";
        const std::vector<Group> groups = groupsOf(room);
        int top = 0;
        for (size_t g = 0; g < groups.size(); ++g)
        {
            out << (g ? "," : "") << R"({"type":)" << groups[g].type << R"(,"title":")" << groups[g].title
                << R"(","positions":[)";
            for (int i = 0; i < groups[g].speakers; ++i)
                out << (i ? "," : "") << R"({"speakerID":")" << serial++ << R"(","locationX":)" << (i % 8) * 160
                    << R"(,"locationY":)" << top + (i / 8) * 200 << "}";
            out << "]}";
            top += ((groups[g].speakers + 7) / 8) * 200 + 40;
        }
        out << "]}";
    }
    out << "]}";
    return out.str();
}

// Writes the venue into the venue folder below `home` (the desk's private home of a test) and
// returns the file's path.
inline std::filesystem::path write(const std::filesystem::path& home)
{
    const std::filesystem::path venues = home / "Documents" / "Vellaris" / "Ambrel" / "Venues";
    std::filesystem::create_directories(venues);
    const std::filesystem::path file = venues / (std::string(kTitle) + "_" + kVenueID + ".venue");
    std::ofstream(file) << venueText();
    return file;
}

} // namespace LargeVenue
