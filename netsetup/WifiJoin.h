#pragma once

#include <set>
#include <string>
#include <vector>

namespace Vellaris
{

// What may be sent to the speakers in a join request: the speakers' messages carry ASCII only, so
// a network name or password with any other character would reach them as "?" and the join would
// fail without a word. Returns why the pair cannot be sent, or "" when it can. The text names the
// network but never repeats the password.
std::string joinRefusal(const std::string& ssid, const std::string& password);

// The question asked before a join that not every speaker can follow:
// "2 of 4 speakers see Venue; the others will stay on the wired network".
std::string joinConfirmationText(int seeing, int total, const std::string& ssid);

// Counts the speakers that come back after a join: a speaker leaves the network when it changes
// to the Wi-Fi network and announces itself again on it. Speakers are known by serial number, so a
// speaker that comes back as a new list item still counts as the one that was asked.
class WifiJoinCount
{
public:
    // A new join that asked the speakers with these serial numbers (empty ones are ignored).
    void start(const std::vector<std::string>& askedSerials);
    void clear();
    // A speaker announced itself: true when it is one of those asked and was not counted yet.
    bool arrived(const std::string& serial);

    int countAsked() const { return int(asked.size()); }
    int countJoined() const { return int(joined.size()); }
    // While the join runs: "Speakers joining network: Venue ... 1 of 4 joined" ("..." alone until
    // the first speaker is back).
    std::string progressText(const std::string& ssid) const;
    // When the join window has closed: "Venue: 3 of 4 speakers joined; 1 did not come back", or
    // "Venue: 4 of 4 speakers joined" when every one came back.
    std::string resultText(const std::string& ssid) const;

private:
    std::set<std::string> asked;
    std::set<std::string> joined;
};

} // namespace Vellaris
