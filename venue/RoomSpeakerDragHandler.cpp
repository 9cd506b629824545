#include "venue/RoomSpeakerDragHandler.h"

#include <algorithm>

#include "speaker/SpeakerNetworkItem.h"
#include "tessel/DragData.h"
#include "tessel/Platform.h"
#include "venue/RoomEditView.h"
#include "venue/SpeakerPosition.h"
#include "venue/SpeakerRoom.h"
#include "venue/Venue.h"
#include "venue/VenueUndo.h"

namespace Vellaris
{

namespace
{
int hotSpot(const Tessel::DragData& data, const char* key, double fallback)
{
    const Tessel::Variant* value = data.getAttributes().find(key);
    return int(value && value->isNumeric() ? value->asDouble() : fallback);
}
} // namespace

void RoomSpeakerDragHandler::clear()
{
    active = false;
    accepting = false;
    hasSnapped = false;
    target = kNoFreeCell;
    refusal.clear();
    item = nullptr;
    dragged = nullptr;
    partner = nullptr;
    replaced = nullptr;
    group = nullptr;
    defaultGroup = nullptr;
    editor.setSwapping(false);
}

bool RoomSpeakerDragHandler::examine(const Tessel::DragData& data)
{
    clear();
    SpeakerRoom* room = editor.getRoom();
    if (!room)
        return false;
    // A room locked while a drag was under way takes nothing either.
    if (room->isLocked())
    {
        refusal = RoomEditView::kRoomLocked;
        return false;
    }
    for (int i = 0; i < data.countItems(); ++i)
    {
        auto* object = Tessel::unknownCast<Tessel::Object>(data.getItem(i));
        if (auto* speaker = Tessel::classCast<SpeakerNetworkItem>(object))
        {
            for (SpeakerPosition* position : room->allPositions())
                if (position->getSpeaker() == speaker)
                    dragged = Tessel::retained(position);
            // A speaker has one place in the venue: one that stands in another room is refused
            // here, as placeSpeaker refuses it (a list that shows it by mistake must not let it
            // be placed twice).
            if (Venue* venue = room->getVenue(); !dragged && venue && venue->holdsItem(speaker))
            {
                for (int r = 0; r < venue->countRooms(); ++r)
                    if (SpeakerRoom* holder = venue->getRoom(r); holder && holder->holdsItem(speaker))
                        if (const Tessel::IParameter* title = holder->findParameter("roomTitle"))
                            refusal = RoomEditView::kAlreadyPlacedIn + title->getValue().getText();
                return false;
            }
            item = Tessel::retained(speaker);
            SpeakerGroupView* view = dragged ? editor.findGroupOf(dragged.get()) : editor.firstGroupView();
            defaultGroup = Tessel::retained(view ? view->getGroup() : nullptr);
            break;
        }
    }
    if (!item)
        for (int i = 0; i < data.countItems(); ++i)
            if (auto* position =
                    Tessel::classCast<SpeakerPosition>(Tessel::unknownCast<Tessel::Object>(data.getItem(i))))
            {
                if (SpeakerGroupView* view = editor.findGroupOf(position))
                {
                    dragged = Tessel::retained(position);
                    defaultGroup = Tessel::retained(view->getGroup());
                }
                break;
            }
    // A room without a group to show still takes a speaker from the network list: the drop makes
    // a group for it.
    active = item || dragged;
    hot = {hotSpot(data, "hotX", data.getHotX()), hotSpot(data, "hotY", data.getHotY())};
    return active;
}

void RoomSpeakerDragHandler::track(PlanPoint point)
{
    SpeakerPosition* under = editor.findPositionAt(point);
    // Swaps stay within a group: over a speaker of another group the drag joins that group.
    const bool sameGroup = dragged && under && editor.findGroupOf(under) == editor.findGroupOf(dragged.get());
    partner = Tessel::retained(sameGroup && under != dragged.get() ? under : nullptr);
    editor.setSwapping(partner != nullptr);
    // A speaker from the list let go on a missing speaker's cell takes its place.
    SpeakerPosition* missing = !dragged && under && !under->getSpeaker() ? under : nullptr;
    if (missing != replaced.get())
        hasSnapped = false;
    replaced = Tessel::retained(missing);

    SpeakerGroupView* frame = editor.findGroupFrameAt(point);
    if (replaced)
        frame = editor.findGroupOf(replaced.get());
    SpeakerGroup* wanted = frame ? frame->getGroup() : defaultGroup.get();
    if (wanted != group.get())
        hasSnapped = false;
    group = Tessel::retained(wanted);
    SpeakerGroupView* view = editor.viewOf(group.get());

    if (partner)
    {
        // A swap shows the other speaker's cell as the target.
        const PlanRect cell = editor.cellOf(partner.get());
        target = {cell.x, cell.y};
        hasSnapped = false;
    }
    else if (replaced)
    {
        const PlanRect cell = editor.cellOf(replaced.get());
        target = {cell.x, cell.y};
        hasSnapped = false;
    }
    else if (!view)
    {
        // A room without a group to show: the drop makes one, its first cell at the plan's corner.
        target = {0, 0};
        hasSnapped = false;
    }
    else
    {
        const PlanGrid& grid = view->getGrid();
        const PlanPoint snapped = snapToGrid({point.x - hot.x, point.y - hot.y}, grid);
        if (!hasSnapped || !(snapped == lastSnapped))
        {
            std::vector<PlanRect> occupied;
            for (const auto& position : group->getOwnPositions())
                if (position.get() != dragged.get())
                    occupied.push_back(editor.cellOf(position.get()));
            target = findFreeCell(snapped, editor.getCellWidth(), editor.getCellHeight(), grid,
                                  view->getArea(), occupied);
            // Nothing free near the pointer: the cell the frame keeps free for a drop.
            const PlanPoint spare = view->getFreeCell();
            const PlanRect spareCell{spare.x, spare.y, editor.getCellWidth(), editor.getCellHeight()};
            if (target == kNoFreeCell && !(spare == kNoFreeCell) &&
                std::none_of(occupied.begin(), occupied.end(),
                             [&spareCell](const PlanRect& other) { return spareCell.intersects(other); }))
                target = spare;
            lastSnapped = snapped;
            hasSnapped = true;
        }
    }
    accepting = partner || !(target == kNoFreeCell);
    refusal =
        accepting ? std::string() : RoomEditView::kNoFreeCellIn + (group ? group->getTitle() : std::string());
    editor.dragStateChanged();
}

bool RoomSpeakerDragHandler::dragEnter(const Tessel::DragData& data, PlanPoint point)
{
    if (!examine(data))
        return false;
    track(point);
    return accepting;
}

bool RoomSpeakerDragHandler::dragOver(const Tessel::DragData& data, PlanPoint point)
{
    if (!active)
        return false;
    track(point);
    return accepting;
}

void RoomSpeakerDragHandler::dragLeave()
{
    clear();
    editor.dragStateChanged();
}

bool RoomSpeakerDragHandler::drop(const Tessel::DragData& data, PlanPoint point)
{
    if (!active && !examine(data))
        return false;
    // The room may have been locked since the drag came over the plan.
    if (SpeakerRoom* locked = editor.getRoom(); locked && locked->isLocked())
    {
        const std::string reason = RoomEditView::kRoomLocked;
        clear();
        refusal = reason;
        editor.dragStateChanged();
        return false;
    }
    track(point);
    Tessel::SharedPtr<SpeakerRoom> room = Tessel::retained(editor.getRoom());
    const bool taken = accepting && room;
    const std::string serial = dragged ? dragged->getSpeakerID()
                               : item  ? item->getSerialNumber()
                                       : std::string();
    VenueLayoutEdit edit(taken ? room->getVenue() : nullptr,
                         partner ? "Swap Speakers " + serial + " " + partner->getSpeakerID()
                                 : (dragged ? "Move Speaker " : "Place Speaker ") + serial);
    if (taken && partner)
    {
        const int x = dragged->getLocationX(), y = dragged->getLocationY();
        dragged->setLocation(partner->getLocationX(), partner->getLocationY());
        partner->setLocation(x, y);
        room->setLastChange(Tessel::GetSystemTicks());
        editor.setSwapping(false);
        room->update();
    }
    else if (taken)
    {
        Tessel::SharedPtr<SpeakerPosition> position = dragged;
        Tessel::SharedPtr<SpeakerGroup> into = group;
        const bool wasInRoom = item && room->holdsItem(item.get());
        // Stored like the group's other speakers, relative to its smallest location (read before
        // the room changes and the views are made anew); a replaced placeholder's cell exactly
        // where that one stood; the first speaker of a new group at (0, 0).
        PlanPoint location{};
        if (replaced)
            location = {replaced->getLocationX(), replaced->getLocationY()};
        else if (SpeakerGroupView* view = editor.viewOf(into.get()))
            location = view->toLocation(target);
        if (!into)
        {
            Tessel::AutoPtr<SpeakerGroup> made = new SpeakerGroup(SpeakerGroup::kTops);
            room->addGroup(made);
            into = made;
        }
        if (!position)
        {
            if (replaced)
                room->removeSerial(replaced->getSpeakerID());
            position = Tessel::adopt(new SpeakerPosition);
            position->setSpeaker(item.get(), false);
        }
        position->setLocation(location.x, location.y);
        room->addToGroup(into.get(), position.get());
        if (SpeakerNetworkItem* live = position->getSpeaker(); live && !wasInRoom)
            live->setSelected(true, true);
        if (Venue* venue = room->getVenue())
        {
            venue->setLastChange(Tessel::GetSystemTicks());
            venue->placementChanged();
        }
    }
    const std::string reason = taken ? std::string() : refusal;
    clear();
    refusal = reason;
    editor.dragStateChanged();
    return taken;
}

} // namespace Vellaris
