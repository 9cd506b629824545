#include "venue/VenueUndo.h"

#include <algorithm>

#include "speaker/SpeakerNetworkItem.h"
#include "speaker/SpeakerNetworkManager.h"
#include "tessel/Attributes.h"
#include "tessel/Platform.h"
#include "venue/SpeakerGroup.h"
#include "venue/SpeakerPosition.h"
#include "venue/SpeakerRoom.h"
#include "venue/Venue.h"
#include "venue/VenueManager.h"
#include "venue/VenueSpeakers.h"

namespace Vellaris
{

namespace
{

bool layoutHolds(const RoomLayout& layout, const SpeakerPosition* position)
{
    for (const RoomLayout::Group& group : layout.groups)
        for (const RoomLayout::Place& place : group.places)
            if (place.position.get() == position)
                return true;
    return false;
}

void venueEdited(Venue& venue)
{
    venue.setLastChange(Tessel::GetSystemTicks());
    venue.placementChanged();
}

// Puts the rooms back into `layouts` (only those that differ from now).
class LayoutCommand : public Tessel::UndoCommand
{
public:
    LayoutCommand(Venue& venue, std::vector<RoomLayout> before, std::vector<RoomLayout> after)
        : venue(Tessel::retained(&venue)), before(std::move(before)), after(std::move(after))
    {
    }
    void undo(std::string&) override { apply(before); }
    void redo(std::string&) override { apply(after); }

private:
    void apply(const std::vector<RoomLayout>& layouts)
    {
        for (const RoomLayout& layout : layouts)
            layout.restore(*venue);
        venueEdited(*venue);
    }

    Tessel::SharedPtr<Venue> venue;
    std::vector<RoomLayout> before, after;
};

struct RoomList
{
    std::vector<Tessel::SharedPtr<SpeakerRoom>> rooms;
    Tessel::SharedPtr<SpeakerRoom> active;
};

class RoomListCommand : public Tessel::UndoCommand
{
public:
    RoomListCommand(Venue& venue, RoomList before, RoomList after)
        : venue(Tessel::retained(&venue)), before(std::move(before)), after(std::move(after))
    {
    }
    void undo(std::string&) override { apply(before); }
    void redo(std::string&) override { apply(after); }

private:
    void apply(const RoomList& list)
    {
        for (int i = venue->countRooms(); i-- > 0;)
        {
            SpeakerRoom* room = venue->getRoom(i);
            const bool kept = std::any_of(list.rooms.begin(), list.rooms.end(),
                                          [room](const auto& each) { return each.get() == room; });
            if (!kept)
                venue->closeRoom(room); // the list that had it keeps it
        }
        for (size_t i = 0; i < list.rooms.size(); ++i)
        {
            SpeakerRoom* room = list.rooms[i].get();
            if (venue->indexOfRoom(room) >= 0)
                continue;
            room->retain(); // the venue takes this reference over
            venue->addRoom(room, int(i));
            // The room's speakers may have left or come back while it was closed.
            for (SpeakerPosition* position : room->allPositions())
                rebindPosition(*venue, *position);
            room->update();
        }
        if (list.active && venue->indexOfRoom(list.active.get()) >= 0)
            venue->setActiveRoom(list.active.get());
        venueEdited(*venue);
    }

    Tessel::SharedPtr<Venue> venue;
    RoomList before, after;
};

RoomList roomsOf(const Venue& venue)
{
    RoomList list;
    for (int i = 0; i < venue.countRooms(); ++i)
        list.rooms.push_back(Tessel::retained(venue.getRoom(i)));
    list.active = Tessel::retained(venue.getActiveRoom());
    return list;
}

} // namespace

// --- RoomLayout --------------------------------------------------------------------------------

RoomLayout RoomLayout::capture(SpeakerRoom& room)
{
    RoomLayout layout;
    layout.room = Tessel::retained(&room);
    for (SpeakerGroup* group : room.getGroups())
    {
        Group entry{Tessel::retained(group), group->getType(), group->getTitle(), {}};
        for (const auto& position : group->getOwnPositions())
            entry.places.push_back({position, position->getLocationX(), position->getLocationY()});
        layout.groups.push_back(std::move(entry));
    }
    return layout;
}

bool RoomLayout::sameAs(const RoomLayout& other) const
{
    if (room != other.room || groups.size() != other.groups.size())
        return false;
    for (size_t i = 0; i < groups.size(); ++i)
    {
        const Group& a = groups[i];
        const Group& b = other.groups[i];
        if (a.group != b.group || a.type != b.type || a.title != b.title ||
            a.places.size() != b.places.size())
            return false;
        for (size_t j = 0; j < a.places.size(); ++j)
            if (a.places[j].position != b.places[j].position || a.places[j].x != b.places[j].x ||
                a.places[j].y != b.places[j].y)
                return false;
    }
    return true;
}

void RoomLayout::restore(Venue& venue) const
{
    // Speakers that leave the room are let go of as a removal does.
    for (SpeakerPosition* position : room->allPositions())
        if (!layoutHolds(*this, position))
            if (SpeakerNetworkItem* item = position->getSpeaker())
            {
                item->setSelected(false, false);
                room->speakerGone(item);
            }
    for (SpeakerGroup* group : room->getGroups())
        room->removeGroup(group);
    for (const Group& entry : groups)
    {
        SpeakerGroup& group = *entry.group;
        group.setType(entry.type);
        group.setTitle(entry.title);
        const auto own = group.getOwnPositions();
        for (const auto& position : own)
            group.removePosition(position.get());
        room->addGroup(&group);
    }
    for (const Group& entry : groups)
        for (const Place& place : entry.places)
        {
            place.position->setLocation(place.x, place.y);
            rebindPosition(venue, *place.position);
            entry.group->insertPosition(place.position.get());
        }
    room->setLastChange(Tessel::GetSystemTicks());
    room->update();
}

void rebindPosition(Venue& venue, SpeakerPosition& position)
{
    SpeakerNetworkManager* network = findSpeakerNetwork();
    SpeakerNetworkItem* live = network ? network->findItemBySerial(position.getSpeakerID()) : nullptr;
    // A speaker that another position holds stays there.
    if (live && position.getSpeaker() != live && venue.holdsItem(live))
        live = nullptr;
    if (position.getSpeaker() == live)
        return;
    if (position.getSpeaker())
        position.setSpeaker(nullptr, false);
    if (live)
        position.setSpeaker(live, true);
}

// --- Edits -------------------------------------------------------------------------------------

VenueLayoutEdit::VenueLayoutEdit(Venue* venue, const std::string& name)
    : venue(Tessel::retained(venue)), name(name), transaction(std::make_unique<Tessel::UndoTransaction>(name))
{
    if (!venue || !Tessel::GetUndoHistory())
        return;
    for (int i = 0; i < venue->countRooms(); ++i)
        before.push_back(RoomLayout::capture(*venue->getRoom(i)));
}

VenueLayoutEdit::~VenueLayoutEdit()
{
    Tessel::UndoHistory* history = Tessel::GetUndoHistory();
    if (venue && history)
    {
        std::vector<RoomLayout> changedBefore, changedAfter;
        for (const RoomLayout& old : before)
        {
            // A room closed meanwhile is not this edit's.
            if (venue->indexOfRoom(old.room.get()) < 0)
                continue;
            RoomLayout now = RoomLayout::capture(*old.room);
            if (now.sameAs(old))
                continue;
            changedBefore.push_back(old);
            changedAfter.push_back(std::move(now));
        }
        if (!changedBefore.empty())
            history->record(Tessel::AutoPtr<LayoutCommand>(
                                new LayoutCommand(*venue, std::move(changedBefore), std::move(changedAfter))),
                            name);
    }
    transaction.reset();
}

VenueRoomsEdit::VenueRoomsEdit(Venue* venue, const std::string& name)
    : venue(Tessel::retained(venue)), name(name), transaction(std::make_unique<Tessel::UndoTransaction>(name))
{
    if (!venue)
        return;
    RoomList list = roomsOf(*venue);
    rooms = std::move(list.rooms);
    active = std::move(list.active);
}

VenueRoomsEdit::~VenueRoomsEdit()
{
    Tessel::UndoHistory* history = Tessel::GetUndoHistory();
    if (venue && history)
    {
        RoomList after = roomsOf(*venue);
        if (after.rooms != rooms)
            history->record(Tessel::AutoPtr<RoomListCommand>(
                                new RoomListCommand(*venue, RoomList{rooms, active}, std::move(after))),
                            name);
    }
    transaction.reset();
}

// --- Offline values ----------------------------------------------------------------------------

VenueUndoLocator::VenueUndoLocator(const VenueManager& manager)
    : manager(manager), history(Tessel::retained(Tessel::GetUndoHistory()))
{
    if (history)
        history->addLocator(this);
}

VenueUndoLocator::~VenueUndoLocator()
{
    if (history)
        history->removeLocator(this);
}

bool VenueUndoLocator::storeOffline(const Tessel::UndoParamKey& key, const Tessel::Variant& value)
{
    Venue* venue = manager.getVenue();
    if (!venue || key.owner.empty() || key.path.empty())
        return false;
    SpeakerPosition* position = nullptr;
    for (int i = 0; i < venue->countRooms() && !position; ++i)
        position = venue->getRoom(i)->findPosition(key.owner);
    if (!position || position->getSpeaker())
        return false;
    // The stored settings are the speaker component's tree: one section per component along the
    // path ("Speaker", "line", "ch1"), the value under the parameter's name.
    Tessel::Attributes state = position->getSpeakerState();
    Tessel::Attributes* section = &state;
    std::string rest = key.path;
    for (size_t slash; (slash = rest.find('/')) != std::string::npos; rest.erase(0, slash + 1))
    {
        section = section->getAttributes(rest.substr(0, slash));
        if (!section)
            return false;
    }
    section->set(rest, value);
    position->setSpeakerState(state);
    venue->setLastChange(Tessel::GetSystemTicks());
    return true;
}

} // namespace Vellaris
