#include "netsetup/WifiJoin.h"

#include <algorithm>

namespace Vellaris
{

namespace
{
constexpr const char* kJoiningPrefix = "Speakers joining network: ";

bool isAscii(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string speakers(int count)
{
    return count == 1 ? "speaker" : "speakers";
}
} // namespace

std::string joinRefusal(const std::string& ssid, const std::string& password)
{
    if (!isAscii(ssid))
        return "The network name \"" + ssid +
               "\" holds characters outside ASCII, which the speakers cannot take: nothing was sent.";
    if (!isAscii(password))
        return "The password holds characters outside ASCII (such as accented letters), which the speakers "
               "cannot take: nothing was sent.";
    return {};
}

std::string joinConfirmationText(int seeing, int total, const std::string& ssid)
{
    return std::to_string(seeing) + " of " + std::to_string(total) + " speakers see " + ssid +
           "; the others will stay on the wired network";
}

void WifiJoinCount::start(const std::vector<std::string>& askedSerials)
{
    clear();
    for (const std::string& serial : askedSerials)
        if (!serial.empty())
            asked.insert(serial);
}

void WifiJoinCount::clear()
{
    asked.clear();
    joined.clear();
}

bool WifiJoinCount::arrived(const std::string& serial)
{
    return asked.count(serial) && joined.insert(serial).second;
}

std::string WifiJoinCount::progressText(const std::string& ssid) const
{
    std::string text = kJoiningPrefix + ssid + " ...";
    if (!joined.empty())
        text += " " + std::to_string(countJoined()) + " of " + std::to_string(countAsked()) + " joined";
    return text;
}

std::string WifiJoinCount::resultText(const std::string& ssid) const
{
    const int missing = countAsked() - countJoined();
    std::string text = ssid + ": " + std::to_string(countJoined()) + " of " + std::to_string(countAsked()) +
                       " " + speakers(countAsked()) + " joined";
    if (missing > 0)
        text += "; " + std::to_string(missing) + " did not come back";
    return text;
}

} // namespace Vellaris
