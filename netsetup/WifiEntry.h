#pragma once

#include <string>

namespace Vellaris
{

// One network as a speaker reports it: an entry of the speaker's "networklist", three fields
// "name<&#&>strength<&#&>security". A literal "*" may stand inside a field.
struct WifiReport
{
    static constexpr const char* kSeparator = "<&#&>";
    static constexpr const char* kLocked = "locked";

    std::string name;
    float strength = 0.0f; // 0 … 100, 100 full strength
    bool locked = false;   // security "locked"; any other text is an open network

    // Reads an entry. False (report unchanged) for an entry with fewer than three fields; further
    // fields are ignored. The strength is clamped to 0 … 100 (see clampStrength); the name may be
    // empty (the caller skips such entries).
    static bool parse(const std::string& entry, WifiReport& report);
    // A strength text read as a number: not a number or NaN gives 0, negative values and -inf 0,
    // values above 100 and +inf 100.
    static float clampStrength(const std::string& text);
    // The frame of a strength picture with `frames` frames: frames × strength / 100 rounded to the
    // nearest whole number (halves away from zero), at most frames - 1, at least 0.
    static int strengthFrame(float strength, int frames);
    // A name cut for display to kMaxDisplayLength bytes (never inside a UTF-8 sequence), with "…"
    // when cut.
    static constexpr std::size_t kMaxDisplayLength = 64;
    static std::string displayName(const std::string& name);
};

} // namespace Vellaris
