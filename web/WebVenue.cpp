#include "web/WebVenue.h"

#include "remote/RemoteAddress.h"
#include "speaker/SpeakerInspector.h"
#include "speaker/SpeakerNetworkItem.h"
#include "tessel/IParameter.h"
#include "venue/MasterComponent.h"
#include "venue/SpeakerGroup.h"
#include "venue/SpeakerPosition.h"
#include "venue/SpeakerRoom.h"
#include "venue/Venue.h"
#include "venue/VenueManager.h"
#include "web/JsonText.h"
#include "web/WebRows.h"

namespace Vellaris::Web
{

namespace
{
constexpr const char* kVenueAddress = "/roomdesk/VenueManager/activeVenue";

// The remote address of the venue's room `index`: rooms share one component name, so remotes
// reach them by index.
std::string roomAddress(int index)
{
    return std::string(kVenueAddress) + "/room[" + std::to_string(index) + "]";
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
            .string("address", roomAddress(i))
            .boolean("active", room->isActive())
            .endObject();
    }
    json.endArray();
    int active = -1;
    for (int i = 0; i < venue->countRooms() && active < 0; ++i)
        if (venue->getRoom(i) && venue->getRoom(i) == venue->getActiveRoom())
            active = i;
    if (SpeakerRoom* room = active >= 0 ? venue->getRoom(active) : nullptr)
    {
        json.beginObject("room")
            .string("address", roomAddress(active))
            .string("title", textOf(room, "roomTitle"));
        Tessel::IParameter* locked = room->findParameter("locked");
        json.boolean("locked", locked && locked->getValue().asInt() != 0);
        if (room->getMaster())
            json.string("masterGeq", roomAddress(active) + "/Master/geq");
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
                    .string("name",
                            speakerLabel(item ? SpeakerPosition::nameOf(item) : position->getOfflineName(),
                                         serial))
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

namespace
{
bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// The first path element after `prefix` ("987654321" of "/speaker/987654321/line/...").
std::string elementAfter(const std::string& address, const std::string& prefix)
{
    const size_t end = address.find('/', prefix.size());
    return address.substr(prefix.size(), end == std::string::npos ? std::string::npos : end - prefix.size());
}

std::string lockedText(SpeakerRoom* room)
{
    return "the room \"" + textOf(room, "roomTitle") + "\" is locked";
}

std::string inspectedSerial()
{
    Remote::RemoteTarget target = Remote::resolveRemoteAddress("/roomdesk/Inspector", true);
    if (!target.resolved() || target.object.kind != Tessel::ObjectTarget::Kind::Component)
        return {};
    auto* inspector = Tessel::classCast<SpeakerInspector>(target.object.component);
    SpeakerNetworkItem* item = inspector ? inspector->getCurrentItem() : nullptr;
    return item ? item->getSerialNumber() : std::string();
}
} // namespace

std::string lockRefusal(const std::string& address)
{
    VenueManager* manager = VenueManager::instance();
    Venue* venue = manager ? manager->getVenue() : nullptr;
    if (!venue)
        return {};
    const std::string roomPrefix = std::string(kVenueAddress) + "/room[";
    if (startsWith(address, roomPrefix))
    {
        const size_t close = address.find(']', roomPrefix.size());
        if (close == std::string::npos)
            return {};
        const std::string index = address.substr(roomPrefix.size(), close - roomPrefix.size());
        if (index.empty() || index.size() > 4 || index.find_first_not_of("0123456789") != std::string::npos)
            return {};
        SpeakerRoom* room = venue->getRoom(std::stoi(index));
        if (!room || !room->isLocked() || address.substr(close + 1) == "/locked")
            return {};
        return lockedText(room);
    }
    if (startsWith(address, "/roomdesk/MasterInspector/"))
    {
        SpeakerRoom* room = venue->getActiveRoom();
        return room && room->isLocked() ? lockedText(room) : std::string();
    }
    std::string serial;
    if (startsWith(address, "/speaker/"))
        serial = elementAfter(address, "/speaker/");
    else if (startsWith(address, "/roomdesk/SpeakerNetwork/"))
        serial = elementAfter(address, "/roomdesk/SpeakerNetwork/");
    else if (startsWith(address, "/roomdesk/Inspector/"))
        serial = inspectedSerial();
    if (serial.empty())
        return {};
    for (int i = 0; i < venue->countRooms(); ++i)
        if (SpeakerRoom* room = venue->getRoom(i); room && room->isLocked() && room->findPosition(serial))
            return lockedText(room);
    return {};
}

} // namespace Vellaris::Web
