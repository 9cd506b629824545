#pragma once

// What the tablet remote's benchmarks share: a page's WebSocket to a desk on loopback, its messages
// read as attribute sets, requests answered by id, and latency figures.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "core/Attributes.h"
#include "core/JsonReader.h"
#include "tests/web/WebClient.h"

namespace WebBench
{

using Clock = std::chrono::steady_clock;

// One message of the desk as an attribute set (empty when it does not parse).
inline Core::Portable::Attributes parse(const std::string& text)
{
    Core::Portable::Attributes message;
    if (!Core::Portable::JsonReader::parse(text, message))
        message.clear();
    return message;
}

inline std::string quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text)
    {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

// Sends `json` (an object without its closing brace is completed with "id") and waits for the
// answer carrying that id; an empty set when none came within `limit`.
inline Core::Portable::Attributes ask(WebTest::WebSocketClient& page, const std::string& json, int id,
                                      std::chrono::milliseconds limit = std::chrono::seconds(5))
{
    const std::string idText = "\"id\":" + std::to_string(id);
    if (!page.send(json + "," + idText + "}"))
        return {};
    std::string text;
    if (!page.receiveUntil([&](const std::string& m) { return m.find(idText) != std::string::npos; }, text,
                           limit))
        return {};
    return parse(text);
}

inline double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// "name  median …, p99 …" of a series of times in ms.
inline void report(const char* name, std::vector<double> times, const char* goal = "")
{
    if (times.empty())
    {
        std::printf("   %-16s no samples\n", name);
        return;
    }
    std::sort(times.begin(), times.end());
    const size_t n = times.size();
    const double median = n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
    const double p99 = times[std::min(n - 1, size_t(std::ceil(0.99 * double(n))) - 1)];
    std::printf("   %-16s median %.2f ms, p99 %.2f ms, min %.2f ms, max %.2f ms (%zu samples)%s\n", name,
                median, p99, times.front(), times.back(), n, goal);
}

} // namespace WebBench
