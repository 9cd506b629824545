#include "venue/RoomEditView.h"

#include <algorithm>
#include <climits>

#include "speaker/SpeakerNetworkItem.h"
#include "speaker/SpeakerNetworkManager.h"
#include "tessel/DragData.h"
#include "tessel/DragSession.h"
#include "tessel/Platform.h"
#include "tessel/StringParam.h"
#include "tessel/Style.h"
#include "venue/RoomGroupEditor.h"
#include "venue/SpeakerPositionComponent.h"
#include "venue/SpeakerRoom.h"
#include "venue/Venue.h"
#include "venue/VenueSpeakers.h"
#include "venue/VenueUndo.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS(RoomEditView, Tessel::Component)

namespace
{
PlanRect inflate(const PlanRect& rect, int left, int top, int right, int bottom)
{
    return {rect.x - left, rect.y - top, rect.width + left + right, rect.height + top + bottom};
}

PlanRect unite(const PlanRect& a, const PlanRect& b)
{
    const int x = std::min(a.x, b.x), y = std::min(a.y, b.y);
    return {x, y, std::max(a.right(), b.right()) - x, std::max(a.bottom(), b.bottom()) - y};
}
} // namespace

RoomEditView::RoomEditView() : Tessel::Component(kViewName), handler(*this)
{
    getParams().addString("placeSpeaker", kPlaceSpeakerTag);
    groups = new RoomGroupEditor(this);
    addChild(groups);
    loadStyle();
}

RoomEditView::~RoomEditView()
{
    if (room)
        room->removeObserver(this);
    if (network)
        network->removeObserver(this);
}

void* RoomEditView::queryInterface(const Tessel::UID& iid)
{
    TESSEL_QUERY_INTERFACE(Tessel::IDropTarget)
    TESSEL_QUERY_INTERFACE(Tessel::IDragSource)
    return Component::queryInterface(iid);
}

void RoomEditView::setRoom(SpeakerRoom* shown)
{
    watchNetwork();
    if (shown == room.get())
        return rebuild();
    if (room)
        room->removeObserver(this);
    room = Tessel::retained(shown);
    if (room)
        room->addObserver(this);
    rebuild();
    propertyChanged("roomPath");
}

void RoomEditView::setSize(int newWidth, int newHeight)
{
    newWidth = std::max(newWidth, 0);
    newHeight = std::max(newHeight, 0);
    if (newWidth == width && newHeight == height)
        return;
    width = newWidth;
    height = newHeight;
    rebuild();
}

void RoomEditView::loadStyle()
{
    const Tessel::Style& style = Tessel::Style::get();
    const auto metric = [&style](const char* name, int fallback, int minimum)
    { return std::max(int(style.getMetric(name, fallback)), minimum); };
    gridX = metric("gridX", 40, 1);
    gridY = metric("gridY", 40, 1);
    paddingTop = metric("paddingTop", 0, 0);
    cellWidth = metric("speakerWidth", 142, 1);
    cellHeight = metric("speakerHeight", 176, 1);
    groupPadding = metric("groupPadding", 8, 0);
    groupTitleHeight = metric("groupTitleHeight", 22, 0);
    hintImage = style.getImage("dragHereImage");
    rebuild();
}

void RoomEditView::watchNetwork()
{
    if (network)
        return;
    if (SpeakerNetworkManager* speakers = findSpeakerNetwork())
    {
        network = speakers;
        network->addObserver(this);
    }
}

PlanRect RoomEditView::cellOf(const SpeakerPosition* position) const
{
    if (!position)
        return {};
    return {grid.originX + position->getLocationX(), grid.originY + position->getLocationY(), cellWidth,
            cellHeight};
}

// --- Views ---------------------------------------------------------------------------------------

void RoomEditView::rebuild()
{
    if (rebuilding)
        return;
    rebuilding = true;
    for (SpeakerPositionComponent* view : positionViews)
        removeChild(view);
    positionViews.clear();
    groupViews.clear();
    grid = makePlanGrid(gridX, gridY, width, height, paddingTop);
    if (room)
        for (SpeakerGroup* group : room->getGroups())
        {
            if (group->getType() == SpeakerGroup::kMaster)
                continue; // the master group is not drawn
            for (const auto& position : group->getOwnPositions())
            {
                auto* view = new SpeakerPositionComponent("position" + std::to_string(positionViews.size()),
                                                          position.get());
                addChild(view);
                positionViews.push_back(view);
            }
        }
    layOutGroups();
    groups->refresh();
    rebuilding = false;
    signal(Tessel::Message(Tessel::Messages::kChanged));
}

void RoomEditView::layOutGroups()
{
    if (!room)
        return;
    std::vector<PlanRect> taken;
    for (SpeakerPosition* position : room->allPositions())
        taken.push_back(cellOf(position));
    std::vector<SpeakerGroup*> empty;
    for (SpeakerGroup* group : room->getGroups())
    {
        if (group->getType() == SpeakerGroup::kMaster)
            continue;
        if (group->getOwnPositions().empty())
        {
            empty.push_back(group);
            groupViews.push_back(Tessel::adopt(new SpeakerGroupView(group, grid, {kNoFreeCell.x, 0, 0, 0})));
            continue;
        }
        PlanRect bounds = cellOf(group->getOwnPositions().front().get());
        for (const auto& position : group->getOwnPositions())
            bounds = unite(bounds, cellOf(position.get()));
        const PlanRect frame =
            inflate(bounds, groupPadding, groupPadding + groupTitleHeight, groupPadding, groupPadding);
        groupViews.push_back(Tessel::adopt(new SpeakerGroupView(group, grid, frame)));
        taken.push_back(frame);
    }
    // A group without speakers shows one free cell as its frame, the first one row by row, so
    // there is a place to drop speakers into it.
    for (SpeakerGroup* group : empty)
    {
        PlanRect slot{kNoFreeCell.x, kNoFreeCell.y, 0, 0};
        for (int y = grid.originY; y + cellHeight <= height && slot.width == 0; y += grid.gridY)
            for (int x = grid.originX; x + cellWidth <= width; x += grid.gridX)
            {
                const PlanRect cell{x, y, cellWidth, cellHeight};
                if (std::none_of(taken.begin(), taken.end(),
                                 [&cell](const PlanRect& other) { return cell.intersects(other); }))
                {
                    slot = cell;
                    break;
                }
            }
        for (auto& view : groupViews)
            if (view->getGroup() == group)
                view = Tessel::adopt(new SpeakerGroupView(group, grid, slot));
        if (slot.width > 0)
            taken.push_back(slot);
    }
}

SpeakerPosition* RoomEditView::findPositionAt(PlanPoint point) const
{
    for (SpeakerPositionComponent* view : positionViews)
        if (cellOf(view->getPosition()).contains(point))
            return view->getPosition();
    return nullptr;
}

SpeakerGroupView* RoomEditView::findGroupOf(const SpeakerPosition* position) const
{
    for (const auto& view : groupViews)
        for (const auto& own : view->getGroup()->getOwnPositions())
            if (own.get() == position)
                return view.get();
    return nullptr;
}

SpeakerGroupView* RoomEditView::firstGroupView() const
{
    for (const auto& view : groupViews)
        if (view->getGroup())
            return view.get();
    return nullptr;
}

SpeakerGroupView* RoomEditView::findGroupFrameAt(PlanPoint point) const
{
    for (const auto& view : groupViews)
        if (view->getFrame().contains(point))
            return view.get();
    return nullptr;
}

void RoomEditView::setSwapping(bool on)
{
    if (on == swapping)
        return;
    swapping = on;
    propertyChanged("swapping");
}

bool RoomEditView::showsEmptyHint() const
{
    if (!room || hintImage.empty() || !room->allPositions().empty())
        return false;
    const Tessel::IParameter* browser = room->findParameter("viewNetwork");
    return browser && browser->getValue().asDouble() != 0;
}

void RoomEditView::dragStateChanged()
{
    signal(Tessel::Message(kDragStateChanged));
}

// --- Dragging --------------------------------------------------------------------------------

bool RoomEditView::startDrag(SpeakerPositionComponent* view, int hotX, int hotY)
{
    if (!room || !view || !view->getPosition() || room->isLocked())
        return false;
    Tessel::AutoPtr<Tessel::DragData> data = new Tessel::DragData;
    if (SpeakerNetworkItem* item = view->getSpeaker())
    {
        data->addItem(static_cast<Tessel::Object*>(item));
        data->setImage(item->getIcon(), hotX, hotY);
    }
    else
    {
        data->addItem(static_cast<Tessel::Object*>(view->getPosition()));
        data->setImage(std::string(SpeakerNetworkItem::kIconName) + ":" + SpeakerNetworkItem::kUnknownModel,
                       hotX, hotY);
    }
    data->getAttributes().setString("kind", "speaker");
    refusedHere = false;
    Tessel::DragSession::get().begin(this, data);
    return true;
}

void RoomEditView::cancelDrag()
{
    refusedHere = true;
    Tessel::DragSession::get().cancel();
    refusedHere = false;
    handler.dragLeave();
}

bool RoomEditView::placeSpeaker(SpeakerNetworkItem* item, SpeakerGroup* group)
{
    if (!room || !item || room->isLocked())
        return false;
    if (Venue* venue = room->getVenue(); venue && venue->holdsItem(item))
        return false;
    if (!group)
        if (SpeakerGroupView* first = firstGroupView())
            group = first->getGroup();
    // The first free cell, row by row, as a drop there would find it. A plan that has not been
    // shown yet (no size) is taken as large as the window's centre.
    std::vector<PlanRect> occupied;
    for (SpeakerPosition* position : room->allPositions())
        occupied.push_back(cellOf(position));
    const PlanRect view = width > 0 && height > 0 ? getViewRect() : PlanRect{0, 0, 460, 640};
    PlanPoint cell = kNoFreeCell;
    for (int y = grid.originY; y + cellHeight <= view.height && cell == kNoFreeCell; y += grid.gridY)
        for (int x = grid.originX; x + cellWidth <= view.width; x += grid.gridX)
            if (findFreeCell({x, y}, cellWidth, cellHeight, grid, view, occupied) == PlanPoint{x, y})
            {
                cell = {x, y};
                break;
            }
    if (cell == kNoFreeCell)
        return false;
    VenueLayoutEdit edit(room->getVenue(), "Place Speaker " + item->getSerialNumber());
    Tessel::SharedPtr<SpeakerGroup> into = Tessel::retained(group);
    if (!into)
    {
        into = Tessel::adopt(new SpeakerGroup(SpeakerGroup::kTops));
        room->addGroup(into.get());
    }
    Tessel::AutoPtr<SpeakerPosition> position = new SpeakerPosition;
    position->setSpeaker(item, false);
    position->setLocation(cell.x - grid.originX, cell.y - grid.originY);
    room->addToGroup(into.get(), position);
    item->setSelected(true, true);
    if (Venue* venue = room->getVenue())
    {
        venue->setLastChange(Tessel::GetSystemTicks());
        venue->placementChanged();
    }
    return true;
}

bool RoomEditView::dragEnter(const Tessel::DragData& data, const Tessel::DropPoint& point)
{
    refusedHere = false;
    return handler.dragEnter(data, {int(point.x), int(point.y)});
}

bool RoomEditView::dragOver(const Tessel::DragData& data, const Tessel::DropPoint& point)
{
    return handler.dragOver(data, {int(point.x), int(point.y)});
}

void RoomEditView::dragLeave(const Tessel::DragData& data)
{
    handler.dragLeave();
}

bool RoomEditView::drop(const Tessel::DragData& data, const Tessel::DropPoint& point)
{
    const bool taken = handler.drop(data, {int(point.x), int(point.y)});
    // Let go over the plan where no cell is free: the speaker stays where it was.
    refusedHere = !taken;
    return taken;
}

void RoomEditView::dragEnded(const Tessel::DragData& data, bool accepted)
{
    const bool keep = accepted || refusedHere;
    refusedHere = false;
    if (keep || !room)
        return dragStateChanged();
    Tessel::SharedPtr<SpeakerRoom> from = room;
    bool removed = false;
    std::string serials;
    for (int i = 0; i < data.countItems(); ++i)
    {
        auto* object = Tessel::unknownCast<Tessel::Object>(data.getItem(i));
        if (auto* item = Tessel::classCast<SpeakerNetworkItem>(object))
            serials += " " + item->getSerialNumber();
        else if (auto* position = Tessel::classCast<SpeakerPosition>(object))
            serials += " " + position->getSpeakerID();
    }
    VenueLayoutEdit edit(from->getVenue(), "Remove Speaker" + serials);
    for (int i = 0; i < data.countItems(); ++i)
    {
        auto* object = Tessel::unknownCast<Tessel::Object>(data.getItem(i));
        if (auto* item = Tessel::classCast<SpeakerNetworkItem>(object))
            removed = from->removeSerial(item->getSerialNumber()) || removed;
        else if (auto* position = Tessel::classCast<SpeakerPosition>(object))
            removed = from->removeSerial(position->getSpeakerID()) || removed;
    }
    if (removed)
        if (Venue* venue = from->getVenue())
        {
            venue->setLastChange(Tessel::GetSystemTicks());
            venue->placementChanged();
        }
    dragStateChanged();
}

// --- Messages, parameters, properties ----------------------------------------------------------

void RoomEditView::notify(Tessel::ISubject* subject, const Tessel::Message& msg)
{
    if (network && subject == static_cast<Tessel::ISubject*>(network))
    {
        if (msg.is(Tessel::Messages::kDestroyed))
            network = nullptr;
        else if (msg.is("selectionChanged"))
            signal(Tessel::Message(Tessel::Messages::kChanged));
        return;
    }
    if (room && subject == static_cast<Tessel::ISubject*>(room.get()))
    {
        if (msg.is(Tessel::Messages::kChanged))
            rebuild();
        return;
    }
    Component::notify(subject, msg);
}

void RoomEditView::paramChanged(Tessel::IParameter* param)
{
    if (param->getTag() != kPlaceSpeakerTag)
        return;
    const std::string serial = param->getValue().getText();
    param->setValue(Tessel::Variant(std::string()), false);
    SpeakerNetworkManager* speakers = findSpeakerNetwork();
    if (SpeakerNetworkItem* item = speakers && !serial.empty() ? speakers->findItemBySerial(serial) : nullptr)
        placeSpeaker(item, groups->getSelectedGroup());
}

bool RoomEditView::getProperty(const std::string& propertyName, Tessel::Variant& value) const
{
    const PlanPoint target = handler.getTarget();
    const SpeakerPosition* source = handler.getDraggedPosition();
    if (propertyName == "swapping")
        value = swapping;
    else if (propertyName == "dragging")
        value = handler.isActive();
    else if (propertyName == "targetX")
        value = target.x;
    else if (propertyName == "targetY")
        value = target.y;
    else if (propertyName == "sourceX")
        value = source ? cellOf(source).x : kNoFreeCell.x;
    else if (propertyName == "sourceY")
        value = source ? cellOf(source).y : kNoFreeCell.y;
    else if (propertyName == "emptyHint")
        value = showsEmptyHint();
    else if (propertyName == "roomPath")
        value = room ? room->getComponentPath() : std::string();
    else
        return Component::getProperty(propertyName, value);
    return true;
}

} // namespace Vellaris
