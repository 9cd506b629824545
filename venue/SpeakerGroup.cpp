#include "venue/SpeakerGroup.h"

#include <algorithm>

#include "tessel/AttributeList.h"
#include "tessel/Attributes.h"
#include "venue/SpeakerRoom.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS(SpeakerGroup, Tessel::Object)

SpeakerGroup::SpeakerGroup(int groupType, const std::string& customTitle)
{
    setType(groupType);
    setTitle(customTitle);
}

SpeakerGroup::~SpeakerGroup() = default;

std::string SpeakerGroup::typeName(int type)
{
    switch (type)
    {
    case kMaster:
        return "Master";
    case kSubs:
        return "Subs";
    case kMids:
        return "Mids";
    case kTops:
        return "Tops";
    default:
        return {};
    }
}

void SpeakerGroup::setType(int newType)
{
    type = std::clamp(newType, kMaster, kCustom);
    if (type != kCustom)
        title = typeName(type);
}

void SpeakerGroup::setTitle(const std::string& newTitle)
{
    if (type == kCustom)
        title = newTitle;
}

std::vector<SpeakerPosition*> SpeakerGroup::positions() const
{
    std::vector<SpeakerPosition*> result;
    if (type == kMaster && room)
    {
        for (SpeakerGroup* group : room->getGroups())
            if (group != this && group->getType() != kMaster)
                for (const auto& position : group->own)
                    result.push_back(position.get());
        return result;
    }
    for (const auto& position : own)
        result.push_back(position.get());
    return result;
}

bool SpeakerGroup::insertPosition(SpeakerPosition* position, int index)
{
    if (!position || index > int(own.size()))
        return false;
    for (const auto& existing : own)
        if (existing.get() == position)
            return false;
    if (index < 0)
        own.push_back(Tessel::retained(position));
    else
        own.insert(own.begin() + index, Tessel::retained(position));
    if (room && position->getSpeaker())
        room->applyToSpeaker(position);
    return true;
}

bool SpeakerGroup::removePosition(SpeakerPosition* position)
{
    for (auto it = own.begin(); it != own.end(); ++it)
        if (it->get() == position)
        {
            own.erase(it);
            return true;
        }
    return false;
}

SpeakerPosition* SpeakerGroup::findPosition(const std::string& serial) const
{
    for (const auto& position : own)
        if (position->getSpeakerID() == serial)
            return position.get();
    return nullptr;
}

bool SpeakerGroup::containsSpeaker(const SpeakerNetworkItem* item) const
{
    if (!item)
        return false;
    for (SpeakerPosition* position : positions())
        if (position->getSpeaker() == item)
            return true;
    return false;
}

bool SpeakerGroup::containsPosition(const SpeakerPosition* position) const
{
    for (SpeakerPosition* candidate : positions())
        if (candidate == position)
            return true;
    return false;
}

void SpeakerGroup::save(Tessel::Attributes& into) const
{
    into.setInt("type", type);
    if (type == kCustom)
        into.setString("title", title);
    Tessel::AttributeList* list = into.newList("positions");
    for (const auto& position : own)
        position->save(*list->appendAttributes());
}

void SpeakerGroup::load(const Tessel::Attributes& from)
{
    const int64_t stored = from.getInt("type", kTops);
    setType(int(std::clamp<int64_t>(stored, kMaster, kCustom)));
    if (type == kCustom)
        title = from.getString("title");
    own.clear();
    if (const Tessel::AttributeList* list = from.getList("positions"))
        for (int i = 0; i < list->count(); ++i)
            if (const Tessel::Attributes* entry = list->attributesAt(i))
            {
                Tessel::AutoPtr<SpeakerPosition> position = new SpeakerPosition;
                position->load(*entry);
                own.push_back(position);
            }
}

} // namespace Vellaris
