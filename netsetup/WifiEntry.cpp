#include "netsetup/WifiEntry.h"

#include <cmath>
#include <cstdlib>
#include <vector>

namespace Vellaris
{

namespace
{
// A "*" of a field is hidden behind this text while the entry is split at the separators.
constexpr const char* kStarStandIn = "!(^v^)!";

void replaceAll(std::string& text, const std::string& from, const std::string& to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}
} // namespace

bool WifiReport::parse(const std::string& entry, WifiReport& report)
{
    std::string text = entry;
    replaceAll(text, "*", kStarStandIn);
    replaceAll(text, kSeparator, "*");
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (true)
    {
        const std::size_t end = text.find('*', start);
        std::string field = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        replaceAll(field, kStarStandIn, "*");
        fields.push_back(std::move(field));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    if (fields.size() < 3)
        return false;
    report.name = fields[0];
    report.strength = clampStrength(fields[1]);
    report.locked = fields[2] == kLocked;
    return true;
}

float WifiReport::clampStrength(const std::string& text)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    const double value = std::strtod(begin, &end);
    if (end == begin || std::isnan(value) || value <= 0.0)
        return 0.0f;
    if (value >= 100.0)
        return 100.0f;
    return static_cast<float>(value);
}

int WifiReport::strengthFrame(float strength, int frames)
{
    if (frames <= 0 || !std::isfinite(strength))
        return 0;
    const long frame = std::lround(double(frames) * double(strength) / 100.0);
    if (frame < 0)
        return 0;
    return frame > frames - 1 ? frames - 1 : int(frame);
}

std::string WifiReport::displayName(const std::string& name)
{
    if (name.size() <= kMaxDisplayLength)
        return name;
    std::size_t cut = kMaxDisplayLength;
    // Step back over continuation bytes so that no character is split.
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
        --cut;
    return name.substr(0, cut) + "\xE2\x80\xA6";
}

} // namespace Vellaris
