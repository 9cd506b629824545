#include "tarnsim/WifiSimulation.h"

#include <cstdlib>

namespace Vellaris::Tarn
{

WifiSimulation::WifiSimulation(std::vector<std::string> list) : enabled(true)
{
    for (std::string& entry : list)
        if (!entry.empty())
            entries.push_back(std::move(entry));
}

WifiSimulation WifiSimulation::fromEnvironment()
{
    const char* text = std::getenv(kEnvironmentName);
    if (!text || !*text)
        return WifiSimulation();
    return WifiSimulation(parseEntries(text));
}

std::vector<std::string> WifiSimulation::parseEntries(std::string_view text)
{
    std::vector<std::string> result;
    while (!text.empty())
    {
        const std::size_t end = text.find(';');
        std::string entry;
        for (char c : text.substr(0, end))
            if (c != '\n' && c != '\r')
                entry += c;
        if (entry.size() > kMaxEntryLength)
            entry.resize(kMaxEntryLength);
        if (!entry.empty())
            result.push_back(std::move(entry));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return result;
}

std::string WifiSimulation::listText(std::size_t capacity) const
{
    std::string text;
    for (const std::string& entry : entries)
    {
        const std::size_t needed = text.size() + (text.empty() ? 0 : 1) + entry.size() + 1;
        if (needed > capacity)
            break;
        if (!text.empty())
            text += '\n';
        text += entry;
    }
    return text;
}

std::string WifiSimulation::cleanName(std::string_view name)
{
    std::string clean(name.substr(0, kMaxEntryLength));
    for (char& c : clean)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    return clean;
}

std::string WifiSimulation::requestChange(std::string_view ssid)
{
    if (!enabled)
        return {};
    currentSsid = cleanName(ssid);
    leavePending = true;
    return currentSsid;
}

void WifiSimulation::tick(int64_t now, const Actions& actions)
{
    if (away && now >= backAt)
    {
        away = false;
        if (actions.rejoin)
            actions.rejoin();
    }
    if (leavePending && !away)
    {
        leavePending = false;
        away = true;
        backAt = now + kAwayMs;
        if (actions.leave)
            actions.leave();
    }
}

} // namespace Vellaris::Tarn
