#pragma once

#include <string>

#include "tessel/Object.h"

namespace Tessel
{
class Attributes;
}

namespace Vellaris
{

// The summary of one venue file for the venue list: its name, its identifier, the number of
// speaker positions and the number of rooms ("groups" in the user's words).
//
// Stored keys: "numGroups", "numSpeakers" (integers), "name", "id" (texts).
class VenueCacheItem : public Tessel::Object
{
    TESSEL_DECLARE_CLASS(VenueCacheItem)
public:
    VenueCacheItem() = default;

    std::string name;
    std::string id;
    int numSpeakers = 0;
    int numGroups = 0;

    void save(Tessel::Attributes& into) const;
    // False (and nothing changed) when a key holds a value of the wrong type.
    bool load(const Tessel::Attributes& from);

protected:
    ~VenueCacheItem() override = default;
};

} // namespace Vellaris
