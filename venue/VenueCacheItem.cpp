#include "venue/VenueCacheItem.h"

#include "tessel/Attributes.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS(VenueCacheItem, Tessel::Object)

void VenueCacheItem::save(Tessel::Attributes& into) const
{
    into.setInt("numGroups", numGroups);
    into.setInt("numSpeakers", numSpeakers);
    into.setString("name", name);
    into.setString("id", id);
}

bool VenueCacheItem::load(const Tessel::Attributes& from)
{
    for (const char* key : {"numGroups", "numSpeakers"})
        if (const Tessel::Variant* value = from.find(key); value && !value->isNumeric())
            return false;
    for (const char* key : {"name", "id"})
        if (const Tessel::Variant* value = from.find(key); value && !value->isString())
            return false;
    numGroups = int(from.getInt("numGroups"));
    numSpeakers = int(from.getInt("numSpeakers"));
    name = from.getString("name");
    id = from.getString("id");
    return true;
}

} // namespace Vellaris
