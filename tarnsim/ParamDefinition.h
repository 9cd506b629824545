#pragma once

#include <cstdint>

namespace Core::Portable
{

// The static description a parameter is made from. Records are shared by all
// parameters made from them; a parameter that changes its range copies its
// record first.
struct ParamDefinition
{
    enum Type : uint32_t
    {
        kToggle = 0,
        kInteger = 1,
        kList = 2,
        kFloat = 3,
        kString = 4,
        kAlias = 5,
    };
    enum Flags : uint32_t
    {
        kBipolar = 0x01,  // carried, not read
        kStorable = 0x02, // saved to and restored from the settings file
        kPrivate = 0x04,  // never published, never set by a client, never synchronised
        kLinkable = 0x08,
        kMutable = 0x10, // publishes its range or list entries
        kReadOnly = 0x20,
    };

    uint32_t type = kToggle;
    int32_t tag = 0;
    char name[32] = {};
    float min = 0.0f;
    float max = 0.0f;
    float curveMid = 0.0f;
    float defaultValue = 0.0f;
    float step = 0.0f;
    uint32_t flags = 0;
    const char* formatterName = nullptr;    // empty or null: no formatter
    const char* curveName = nullptr;        // empty or null: no curve
    const char* const* listTexts = nullptr; // max + 1 entries of a list parameter
};

// A list of records compiled into the program.
struct ParamDefinitionList
{
    const ParamDefinition* items = nullptr;
    int count = 0;
};

} // namespace Core::Portable
