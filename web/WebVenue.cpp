#include "web/WebVenue.h"

#include "speaker/SpeakerNetworkItem.h"
#include "tessel/IParameter.h"
#include "venue/MasterComponent.h"
#include "venue/SpeakerGroup.h"
#include "venue/SpeakerPosition.h"
#include "venue/SpeakerRoom.h"
#include "venue/Venue.h"
#include "venue/VenueManager.h"
#include "web/JsonText.h"

namespace Vellaris::Web
{

namespace
{
std::string addressOf(const Tessel::Component* component)
{
    return "/roomdesk/" + component->getComponentPath();
}

std::string textOf(const Tessel::Component* component, const char* name)
{
    Tessel::IParameter* param = component->findParameter(name);
    return param ? param->getValue().asString() : std::string();
}
} // namespace

std::string venueMessage(const std::string& id)
{
    JsonText json;
    json.beginObject().string("op", "venue");
    if (!id.empty())
        json.raw("id", id);
    VenueManager* manager = VenueManager::instance();
    Venue* venue = manager ? manager->getVenue() : nullptr;
    if (!venue)
        return json.boolean("open", false).endObject().str();
    json.boolean("open", true).string("name", venue->getVenueName());
    json.beginArray("rooms");
    for (int i = 0; i < venue->countRooms(); ++i)
    {
        SpeakerRoom* room = venue->getRoom(i);
        if (!room)
            continue;
        json.beginObject()
            .string("title", textOf(room, "roomTitle"))
            .string("address", addressOf(room))
            .boolean("active", room->isActive())
            .endObject();
    }
    json.endArray();
    if (SpeakerRoom* room = venue->getActiveRoom())
    {
        json.beginObject("room")
            .string("address", addressOf(room))
            .string("title", textOf(room, "roomTitle"));
        Tessel::IParameter* locked = room->findParameter("locked");
        json.boolean("locked", locked && locked->getValue().asInt() != 0);
        if (MasterComponent* master = room->getMaster())
            json.string("masterGeq", addressOf(master) + "/geq");
        json.beginArray("groups");
        for (SpeakerGroup* group : room->getGroups())
        {
            if (!group || group->getType() == SpeakerGroup::kMaster)
                continue; // the master group is the room as a whole
            json.beginObject().string("title", group->getTitle()).beginArray("positions");
            for (const auto& position : group->getOwnPositions())
            {
                SpeakerNetworkItem* item = position->getSpeaker();
                const std::string& serial = position->getSpeakerID();
                json.beginObject()
                    .string("serial", serial)
                    .string("name", item ? SpeakerPosition::nameOf(item) : position->getOfflineName())
                    .boolean("online", item != nullptr)
                    .string("address", "/speaker/" + serial)
                    .endObject();
            }
            json.endArray().endObject();
        }
        json.endArray().endObject();
    }
    return json.endObject().str();
}

} // namespace Vellaris::Web
