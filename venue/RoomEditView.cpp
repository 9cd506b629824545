#include "venue/RoomEditView.h"

#include <algorithm>
#include <climits>

#include "speaker/SpeakerNetworkItem.h"
#include "speaker/SpeakerNetworkManager.h"
#include "tessel/Application.h"
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
// The smallest multiple of `step` above `value` (a gap of at least one pixel after it).
int stepAbove(int value, int step)
{
    return (value / step + 1) * step;
}

std::string roomTitleOf(const SpeakerRoom* room)
{
    const Tessel::IParameter* title = room ? room->findParameter("roomTitle") : nullptr;
    return title ? title->getValue().getText() : std::string();
}
} // namespace

RoomEditView::RoomEditView() : Tessel::Component(kViewName), handler(*this)
{
    getParams().addString("placeSpeaker", kPlaceSpeakerTag);
    dropRefusal = getParams().addString("dropRefusal", kDropRefusalTag);
    dropRefusal->setFlag(Tessel::ParamFlags::kReadOnly, true);
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
    groupGap = metric("groupGap", 16, 0);
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
    if (const SpeakerGroupView* view = findGroupOf(position))
    {
        const PlanPoint at = view->toPlan(position->getLocationX(), position->getLocationY());
        return {at.x, at.y, cellWidth, cellHeight};
    }
    return {grid.originX + position->getLocationX(), grid.originY + position->getLocationY(), cellWidth,
            cellHeight};
}

SpeakerGroupView* RoomEditView::viewOf(const SpeakerGroup* group) const
{
    for (const auto& view : groupViews)
        if (view->getGroup() == group)
            return view.get();
    return nullptr;
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
    contentWidth = contentHeight = 0;
    if (!room)
        return;
    // Frames go left to right in group order and wrap at the editor's width (at least one a row).
    const int wrapAt = width > 0 ? width : 4 * (cellWidth + 2 * groupPadding);
    int x = groupGap, y = groupGap, rowHeight = 0;
    for (SpeakerGroup* group : room->getGroups())
    {
        if (group->getType() == SpeakerGroup::kMaster)
            continue;
        // The speakers relative to the group's smallest location, and the box that holds them.
        PlanPoint base{INT_MAX, INT_MAX};
        for (const auto& position : group->getOwnPositions())
            base = {std::min(base.x, position->getLocationX()), std::min(base.y, position->getLocationY())};
        if (group->getOwnPositions().empty())
            base = {};
        std::vector<PlanRect> cells;
        int boxWidth = 0, boxHeight = 0;
        for (const auto& position : group->getOwnPositions())
        {
            cells.push_back({position->getLocationX() - base.x, position->getLocationY() - base.y, cellWidth,
                             cellHeight});
            boxWidth = std::max(boxWidth, cells.back().right());
            boxHeight = std::max(boxHeight, cells.back().bottom());
        }
        // The free cell: the first grid cell of the box that no speaker overlaps, row by row;
        // without one, a cell right of the first row while the frame still fits the width, else
        // one below the last row.
        const auto isFree = [&cells](const PlanRect& cell)
        {
            return std::none_of(cells.begin(), cells.end(),
                                [&cell](const PlanRect& other) { return cell.intersects(other); });
        };
        PlanPoint free{-1, -1};
        for (int cy = 0; cy + cellHeight <= boxHeight && free.x < 0; cy += gridY)
            for (int cx = 0; cx + cellWidth <= boxWidth; cx += gridX)
                if (isFree({cx, cy, cellWidth, cellHeight}))
                {
                    free = {cx, cy};
                    break;
                }
        if (cells.empty())
            free = {0, 0};
        else if (free.x < 0)
        {
            const int right = stepAbove(boxWidth, gridX);
            if (right + cellWidth + 2 * groupPadding + 2 * groupGap <= wrapAt &&
                isFree({right, 0, cellWidth, cellHeight}))
                free = {right, 0};
            else
                free = {0, stepAbove(boxHeight, gridY)};
        }
        const int areaWidth = std::max(boxWidth, free.x + cellWidth);
        const int areaHeight = std::max(boxHeight, free.y + cellHeight);
        const int frameWidth = areaWidth + 2 * groupPadding;
        const int frameHeight = areaHeight + 2 * groupPadding + groupTitleHeight;
        if (x > groupGap && x + frameWidth + groupGap > wrapAt)
        {
            x = groupGap;
            y += rowHeight + groupGap;
            rowHeight = 0;
        }
        const PlanRect frame{x, y, frameWidth, frameHeight};
        const PlanRect area{x + groupPadding, y + groupPadding + groupTitleHeight, areaWidth, areaHeight};
        PlanGrid own = grid;
        own.originX = area.x;
        own.originY = area.y;
        groupViews.push_back(Tessel::adopt(
            new SpeakerGroupView(group, own, frame, area, base, {area.x + free.x, area.y + free.y})));
        contentWidth = std::max(contentWidth, frame.right() + groupGap);
        contentHeight = std::max(contentHeight, frame.bottom() + groupGap);
        x += frameWidth + groupGap;
        rowHeight = std::max(rowHeight, frameHeight);
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

std::string RoomEditView::getEmptyHintText() const
{
    const SpeakerGroupView* first = firstGroupView();
    const std::string where =
        first ? first->getTitle() : "a new " + SpeakerGroup::typeName(SpeakerGroup::kTops) + " group";
    std::string text = kEmptyHintText;
    text.replace(text.find("%s"), 2, where);
    return text;
}

std::string RoomEditView::getDropRefusal() const
{
    return dropRefusal->getValue().getText();
}

void RoomEditView::setDropRefusal(const std::string& reason)
{
    const std::string before = getDropRefusal();
    // Set anew each time, so the same reason twice shows twice.
    dropRefusal->setValue(Tessel::Variant(std::string()), false);
    dropRefusal->setValue(Tessel::Variant(reason), true);
    Tessel::Application* application = Tessel::Application::getApplication();
    const Tessel::IParameter* shown = application ? application->findParameter("statusMessage") : nullptr;
    if (!reason.empty() && application)
        application->showStatus(reason);
    else if (shown && !before.empty() && shown->getValue().getText() == before)
        application->showStatus({}); // taken after all: the status line drops its own refusal
}

void RoomEditView::dragStateChanged()
{
    signal(Tessel::Message(kDragStateChanged));
}

// --- Dragging --------------------------------------------------------------------------------

bool RoomEditView::startDrag(SpeakerPositionComponent* view, int hotX, int hotY)
{
    if (!room || !view || !view->getPosition())
        return false;
    if (room->isLocked())
    {
        setDropRefusal(kRoomLocked);
        return false;
    }
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
    if (!room || !item)
        return false;
    if (room->isLocked())
    {
        setDropRefusal(kRoomLocked);
        return false;
    }
    if (Venue* venue = room->getVenue(); venue && venue->holdsItem(item))
    {
        for (int i = 0; i < venue->countRooms(); ++i)
            if (SpeakerRoom* holder = venue->getRoom(i); holder && holder->holdsItem(item))
                setDropRefusal(kAlreadyPlacedIn + roomTitleOf(holder));
        return false;
    }
    // The group's free cell, as a drop into its frame away from its speakers takes it.
    SpeakerGroupView* view = viewOf(group);
    if (!view)
        view = firstGroupView();
    PlanPoint location{};
    if (view)
    {
        if (view->getFreeCell() == kNoFreeCell)
        {
            setDropRefusal(kNoFreeCellIn + view->getTitle());
            return false;
        }
        group = view->getGroup();
        location = view->toLocation(view->getFreeCell());
    }
    VenueLayoutEdit edit(room->getVenue(), "Place Speaker " + item->getSerialNumber());
    Tessel::SharedPtr<SpeakerGroup> into = Tessel::retained(view ? group : nullptr);
    if (!into)
    {
        into = Tessel::adopt(new SpeakerGroup(SpeakerGroup::kTops));
        room->addGroup(into.get());
    }
    Tessel::AutoPtr<SpeakerPosition> position = new SpeakerPosition;
    position->setSpeaker(item, false);
    position->setLocation(location.x, location.y);
    room->addToGroup(into.get(), position);
    item->setSelected(true, true);
    setDropRefusal({});
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
    setDropRefusal(taken ? std::string() : handler.getRefusal());
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
    else if (propertyName == "contentWidth")
        value = contentWidth;
    else if (propertyName == "contentHeight")
        value = contentHeight;
    else if (propertyName == "roomPath")
        value = room ? room->getComponentPath() : std::string();
    else
        return Component::getProperty(propertyName, value);
    return true;
}

} // namespace Vellaris
