#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace Vellaris::Tarn
{

// The Wi-Fi side of the emulated speaker, switched on by the environment variable TARNSIM_WIFI:
// the networks the speaker "sees" (entries "name<&#&>strength<&#&>security" separated by ";",
// handed to clients as they are) and the join request, after which the speaker leaves the network
// and comes back kAwayMs later, as a real speaker does when it changes networks. Without the
// variable the simulator has no Wi-Fi and behaves as before.
class WifiSimulation
{
public:
    static constexpr const char* kEnvironmentName = "TARNSIM_WIFI";
    static constexpr int64_t kAwayMs = 3000;
    // Network names and entries are cut to this many bytes.
    static constexpr std::size_t kMaxEntryLength = 255;

    // The calls that take the speaker off the network and bring it back (made from tick()).
    struct Actions
    {
        std::function<void()> leave;
        std::function<void()> rejoin;
    };

    WifiSimulation() = default;
    // Enabled with these entries (empty entries are dropped).
    explicit WifiSimulation(std::vector<std::string> entries);
    // Enabled when TARNSIM_WIFI is set and not empty.
    static WifiSimulation fromEnvironment();
    // Splits at ";", drops empty entries and line breaks (a line feed would split the list on the
    // wire), cuts each entry to kMaxEntryLength bytes.
    static std::vector<std::string> parseEntries(std::string_view text);

    bool isEnabled() const { return enabled; }
    const std::vector<std::string>& getEntries() const { return entries; }
    // The entries joined by line feeds, as many whole entries as fit into `capacity` bytes with
    // the terminating NUL (an entry is never cut in the middle).
    std::string listText(std::size_t capacity) const;

    // A join request for `ssid` (cut, control characters replaced by '?'): the speaker leaves at
    // the next tick. Returns the network name as it will be shown. A request while away waits
    // for the return and leaves again. Ignored (returns "") when not enabled.
    std::string requestChange(std::string_view ssid);
    // Runs due work at time `now` (ms): leaving after a request, coming back kAwayMs later.
    void tick(int64_t now, const Actions& actions);
    bool isAway() const { return away; }
    // The network joined last ("" before any request).
    const std::string& getCurrentSsid() const { return currentSsid; }
    // A printable form of a network name for the console and the speaker's "current_ssid".
    static std::string cleanName(std::string_view name);

private:
    bool enabled = false;
    std::vector<std::string> entries;
    std::string currentSsid;
    bool leavePending = false;
    bool away = false;
    int64_t backAt = 0;
};

} // namespace Vellaris::Tarn
