// Feeds arbitrary text as a speaker's list of Wi-Fi networks (entries separated by line feeds, as
// the list parameter carries them) to the entry reader: strengths stay within 0 … 100, picture
// frames within the picture, and display names are cut on a character boundary.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "netsetup/WifiEntry.h"

namespace
{

void check(const std::string& entry)
{
    Vellaris::WifiReport report;
    report.name = "unchanged";
    if (!Vellaris::WifiReport::parse(entry, report))
    {
        if (report.name != "unchanged")
            std::abort(); // a refused entry changed the report
        return;
    }
    if (!(report.strength >= 0.0f && report.strength <= 100.0f))
        std::abort();
    for (int frames : {1, 4, 5})
    {
        const int frame = Vellaris::WifiReport::strengthFrame(report.strength, frames);
        if (frame < 0 || frame >= frames)
            std::abort();
    }
    const std::string shown = Vellaris::WifiReport::displayName(report.name);
    if (shown.size() > Vellaris::WifiReport::kMaxDisplayLength + 3)
        std::abort();
    if (report.name.size() > Vellaris::WifiReport::kMaxDisplayLength)
    {
        // Cut before a character begins: the first byte left out is no continuation byte.
        const std::size_t kept = shown.size() - 3; // "…" follows
        if (shown.compare(0, kept, report.name, 0, kept) != 0 ||
            (kept > 0 && (static_cast<unsigned char>(report.name[kept]) & 0xC0) == 0x80))
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::size_t start = 0;
    while (start <= text.size())
    {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        check(text.substr(start, end - start));
        start = end + 1;
    }
    (void)Vellaris::WifiReport::clampStrength(text);
    return 0;
}
