#include "web/WebPairing.h"

#include <sys/random.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace Vellaris::Web
{

namespace
{
std::string clockNow()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

bool randomBytes(unsigned char* out, size_t size)
{
    size_t done = 0;
    while (done < size)
    {
        ssize_t got = getrandom(out + done, size - done, 0);
        if (got <= 0)
            return false;
        done += size_t(got);
    }
    return true;
}

// Compares without stopping at the first difference, so the time taken tells nothing.
bool sameText(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    unsigned char difference = 0;
    for (size_t i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}
} // namespace

WebPairing::WebPairing()
{
    makeCode();
}

bool WebPairing::randomHex(size_t bytes, std::string& out)
{
    std::vector<unsigned char> raw(bytes);
    if (!randomBytes(raw.data(), raw.size()))
        return false;
    static const char digits[] = "0123456789abcdef";
    out.clear();
    for (unsigned char byte : raw)
    {
        out += digits[byte >> 4];
        out += digits[byte & 15];
    }
    return true;
}

void WebPairing::makeCode()
{
    // Six digits, evenly spread: values beyond the last whole million are drawn again.
    uint32_t value = 0;
    do
    {
        if (!randomBytes(reinterpret_cast<unsigned char*>(&value), sizeof value))
            value = 0;
    } while (value >= 4294000000u);
    char text[8];
    std::snprintf(text, sizeof text, "%06u", unsigned(value % 1000000u));
    code = text;
}

bool WebPairing::fixCode(const std::string& digits)
{
    if (digits.size() != 6 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    code = digits;
    return true;
}

WebPairing::Result WebPairing::pair(const std::string& address, const std::string& given,
                                    const std::string& userAgent, int64_t now, std::string& token)
{
    auto it = tries.find(address);
    if (it != tries.end())
    {
        while (!it->second.empty() && now - it->second.front() >= kTryWindowMs)
            it->second.pop_front();
        if (it->second.size() >= size_t(kMaxTries))
            return Result::TooManyTries;
    }
    if (!sameText(given, code) || devices.size() >= kMaxDevices || !randomHex(32, token))
    {
        token.clear();
        if (it == tries.end())
        {
            if (triesOrder.size() >= kMaxAddresses)
            {
                tries.erase(triesOrder.front());
                triesOrder.pop_front();
            }
            it = tries.emplace(address, std::deque<int64_t>()).first;
            triesOrder.push_back(address);
        }
        it->second.push_back(now);
        return Result::Wrong;
    }
    Device device;
    device.token = token;
    device.address = address;
    device.name = shortAgent(userAgent) + " " + address;
    device.seen = clockNow();
    devices.push_back(std::move(device));
    makeCode();
    return Result::Paired;
}

bool WebPairing::accept(const std::string& token)
{
    if (token.empty())
        return false;
    for (Device& device : devices)
        if (sameText(device.token, token))
        {
            device.seen = clockNow();
            return true;
        }
    return false;
}

bool WebPairing::revoke(size_t index)
{
    if (index >= devices.size())
        return false;
    devices.erase(devices.begin() + long(index));
    return true;
}

std::string WebPairing::shortAgent(const std::string& agent)
{
    auto has = [&](const char* text) { return agent.find(text) != std::string::npos; };
    std::string browser = has("Edg/")                       ? "Edge"
                          : has("Firefox/")                 ? "Firefox"
                          : has("Chrome/") || has("CriOS/") ? "Chrome"
                          : has("Safari/")                  ? "Safari"
                                                            : "Browser";
    std::string system = has("iPad")       ? "iPad"
                         : has("iPhone")   ? "iPhone"
                         : has("Android")  ? "Android"
                         : has("Windows")  ? "Windows"
                         : has("Mac OS X") ? "Mac"
                         : has("Linux")    ? "Linux"
                                           : "";
    return system.empty() ? browser : browser + " on " + system;
}

} // namespace Vellaris::Web
