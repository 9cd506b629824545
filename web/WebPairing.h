#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace Vellaris::Web
{

// Who may drive the desk from a browser beyond this computer. The desk shows a six-digit code; a
// browser that sends it gets a token (random, from the operating system, kept only in memory) and
// is a paired device until revoked. Wrong codes are limited per address (kMaxTries a minute). A new
// code is made after every successful pairing, so a code seen over a shoulder pairs one browser.
// Tokens are never logged and never sent anywhere but in the pairing answer. GUI thread only.
class WebPairing
{
public:
    static constexpr int kMaxTries = 5;
    static constexpr int64_t kTryWindowMs = 60000;
    // Addresses whose tries are remembered; the oldest is forgotten beyond this (memory is bounded
    // whatever a network sends).
    static constexpr size_t kMaxAddresses = 4096;
    static constexpr size_t kMaxDevices = 64;

    struct Device
    {
        std::string token;
        std::string name;    // the browser's short name and its address, "Safari on iPad 10.0.0.7"
        std::string address; // the address it paired from
        std::string seen;    // "21:14:03", local time of its last request
    };

    enum class Result
    {
        Paired,
        Wrong,
        TooManyTries,
    };

    WebPairing();

    // The code a browser must send now.
    const std::string& getCode() const { return code; }
    // Makes `digits` (exactly six digits) the code until the next pairing, which makes a random one
    // again; false, changing nothing, for anything else. Only for tests that drive a desk in another
    // process: they cannot read the code, which no remote may.
    bool fixCode(const std::string& digits);
    // Checks `code` from `address`; on success adds a device (named from `userAgent`), puts its new
    // token in `token` and makes a new code. `now` is the desk's tick in ms.
    Result pair(const std::string& address, const std::string& code, const std::string& userAgent,
                int64_t now, std::string& token);
    // Whether `token` belongs to a paired device; marks it seen.
    bool accept(const std::string& token);
    // Forgets the device of row `index` (false when there is none); its token is refused from now.
    bool revoke(size_t index);

    const std::vector<Device>& getDevices() const { return devices; }

    // "Safari on iPad" and the like from a User-Agent header (a short form, never the whole text).
    static std::string shortAgent(const std::string& userAgent);
    // Random bytes from the operating system as hexadecimal (false when it gives none).
    static bool randomHex(size_t bytes, std::string& out);

private:
    void makeCode();

    std::string code;
    std::vector<Device> devices;
    std::map<std::string, std::deque<int64_t>> tries; // wrong tries by address, oldest first
    std::deque<std::string> triesOrder;               // addresses in the order first seen
};

} // namespace Vellaris::Web
