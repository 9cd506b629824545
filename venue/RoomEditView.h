#pragma once

#include <string>
#include <vector>

#include "tessel/Component.h"
#include "tessel/IDragDrop.h"
#include "tessel/SharedPtr.h"
#include "venue/RoomEditGrid.h"
#include "venue/RoomSpeakerDragHandler.h"
#include "venue/SpeakerGroupView.h"

namespace Vellaris
{

class RoomGroupEditor;
class SpeakerNetworkItem;
class SpeakerPosition;
class SpeakerPositionComponent;
class SpeakerRoom;

// The room editor: the floor plan of the room it shows (the venue's active room). Every group of
// the room but the master group is a SpeakerGroupView; every position a SpeakerPositionComponent
// child ("position0", "position1" ... in group order). The editor lays the groups out itself, in
// group order, in rows that wrap at its width, so frames never overlap: each frame holds its
// speakers in their stored arrangement plus one free cell, under a title band no cell covers. A
// speaker is drawn at its group's area corner plus its location less the group's smallest
// location, so a venue whose groups were placed anywhere on one plane shows each group whole
// (only shifted), and a drop stores a location of the same kind. Speakers are placed by dragging
// them from the network list onto the plan, moved or swapped by dragging them on the plan, and
// taken out of the room by dragging them off it. The plan may be larger than the editor (the skin
// scrolls and zooms it); every point here is a plan pixel.
//
// The venue makes one editor ("RoomEditView", a child of the venue) through its view factory and
// points it at the active room. The skin tells it its size (setSize, the width rows wrap at); its
// metrics come from the style table: "gridX", "gridY" (default 40), "speakerWidth" ×
// "speakerHeight" (one speaker cell, default 142 × 176), "groupPadding", "groupTitleHeight",
// "groupGap" (between frames and around the plan, default 16); the image "dragHereImage" for the
// hint of an empty room.
//
// Properties: "swapping" (a drop would swap two speakers), "dragging" (a drag the plan takes is
// over it), "targetX"/"targetY" (the cell a drop would take), "sourceX"/"sourceY" (the dragged
// position's cell, while one is dragged), "emptyHint" (the hint shows), "roomPath",
// "contentWidth"/"contentHeight" (the plan's extent). Parameters "placeSpeaker" (string, tag 100):
// a serial number put there places that speaker of the network list into the selected group (else
// the first) at its free cell; "dropRefusal" (read-only string, tag 101): why the last drop, drag
// or placement was refused ("" after one that was taken), also shown in the application's status
// line. Child "Groups": the room inspector's group editing (RoomGroupEditor). Signals "changed"
// whenever its cells or frames change, and "dragStateChanged" as a drag over it moves.
class RoomEditView : public Tessel::Component, public Tessel::IDropTarget, public Tessel::IDragSource
{
    TESSEL_DECLARE_CLASS(RoomEditView)
public:
    static constexpr const char* kViewName = "RoomEditView";
    static constexpr int32_t kPlaceSpeakerTag = 100;
    static constexpr int32_t kDropRefusalTag = 101;
    // The hint of an empty room; "%s" is where a drop there lands (getEmptyHintText).
    static constexpr const char* kEmptyHintText = "Drag speakers here to place them in %s.";
    // Why a drop, a drag or a placement is refused.
    static constexpr const char* kRoomLocked = "room is locked";
    static constexpr const char* kNoFreeCellIn = "no free cell in ";
    static constexpr const char* kAlreadyPlacedIn = "already placed in ";
    // Signalled while a drag moves over the plan (the cells stay as they are).
    static constexpr const char* kDragStateChanged = "dragStateChanged";

    RoomEditView();

    void* queryInterface(const Tessel::UID& iid) override;
    int retain() override { return Component::retain(); }
    int release() override { return Component::release(); }

    // Stops observing the old room, shows and observes `room` (may be null) and rebuilds.
    void setRoom(SpeakerRoom* room);
    SpeakerRoom* getRoom() const { return room.get(); }
    // The editor's size in pixels; the grid origin depends on it.
    void setSize(int width, int height);
    // Reads the metrics and the hint image from the style table again, and rebuilds.
    void loadStyle();

    const PlanGrid& getGrid() const { return grid; }
    int getCellWidth() const { return cellWidth; }
    int getCellHeight() const { return cellHeight; }
    PlanRect getViewRect() const { return {0, 0, width, height}; }
    // The plan's extent: every frame and the gap around them.
    int getContentWidth() const { return contentWidth; }
    int getContentHeight() const { return contentHeight; }
    // The cell of `position`: its group's area corner plus its location less the group's smallest
    // one, one speaker cell large.
    PlanRect cellOf(const SpeakerPosition* position) const;
    // The view of `group`, or nullptr when it is not drawn.
    SpeakerGroupView* viewOf(const SpeakerGroup* group) const;

    const std::vector<Tessel::SharedPtr<SpeakerGroupView>>& getGroupViews() const { return groupViews; }
    const std::vector<SpeakerPositionComponent*>& getPositionViews() const { return positionViews; }
    // The position whose cell holds `point` (left and top edges inclusive), or nullptr.
    SpeakerPosition* findPositionAt(PlanPoint point) const;
    // The group view that contains `position`, or nullptr.
    SpeakerGroupView* findGroupOf(const SpeakerPosition* position) const;
    // The first group view that shows a group, or nullptr.
    SpeakerGroupView* firstGroupView() const;
    // The first group view whose frame holds `point`, or nullptr.
    SpeakerGroupView* findGroupFrameAt(PlanPoint point) const;
    bool isSwapping() const { return swapping; }
    void setSwapping(bool on);
    bool showsEmptyHint() const;
    // The hint's text: where a drop into the empty room lands (the first group, or a new "Tops").
    std::string getEmptyHintText() const;
    const std::string& getHintImage() const { return hintImage; }
    // Why the last drop, drag or placement was refused; "" after one that was taken.
    std::string getDropRefusal() const;
    // Records `reason` (also in the application's status line); "" clears it.
    void setDropRefusal(const std::string& reason);

    // Starts dragging `view`'s speaker (its live item, or the position of a missing one) with the
    // pointer at (hotX, hotY) inside its cell. Refused (false) while the room is locked.
    bool startDrag(SpeakerPositionComponent* view, int hotX = 0, int hotY = 0);
    // Ends the drag in progress as broken off (Escape): a speaker dragged from the plan stays.
    void cancelDrag();
    // Places `item` into `group` (default: the first group) at the first free cell, as a drop
    // there would. False when the room is locked, the speaker is placed already or no cell is free.
    bool placeSpeaker(SpeakerNetworkItem* item, SpeakerGroup* group = nullptr);
    const RoomSpeakerDragHandler& getDragHandler() const { return handler; }

    // IDropTarget: the handler's rules in editor pixels.
    bool dragEnter(const Tessel::DragData& data, const Tessel::DropPoint& point) override;
    bool dragOver(const Tessel::DragData& data, const Tessel::DropPoint& point) override;
    void dragLeave(const Tessel::DragData& data) override;
    bool drop(const Tessel::DragData& data, const Tessel::DropPoint& point) override;
    // IDragSource: a drag from the plan that no target took takes its speakers out of the room
    // (not one the plan itself refused for want of a free cell: that speaker stays).
    void dragEnded(const Tessel::DragData& data, bool accepted) override;

    // The network's "selectionChanged" and the room's "changed" redraw.
    void notify(Tessel::ISubject* subject, const Tessel::Message& msg) override;
    void paramChanged(Tessel::IParameter* param) override;
    bool getProperty(const std::string& propertyName, Tessel::Variant& value) const override;

    // Used by the drag handler: the view changed without the room changing.
    void dragStateChanged();

protected:
    ~RoomEditView() override;

private:
    void rebuild();
    void layOutGroups();
    void watchNetwork();

    Tessel::SharedPtr<SpeakerRoom> room;
    std::vector<Tessel::SharedPtr<SpeakerGroupView>> groupViews;
    std::vector<SpeakerPositionComponent*> positionViews; // children
    RoomGroupEditor* groups = nullptr;                    // a child
    Tessel::IParameter* dropRefusal = nullptr;
    Tessel::Object* network = nullptr; // observed while set
    RoomSpeakerDragHandler handler;
    PlanGrid grid;
    int gridX = 40;
    int gridY = 40;
    int paddingTop = 0;
    int cellWidth = 142;
    int cellHeight = 176;
    int groupPadding = 8;
    int groupTitleHeight = 22;
    int groupGap = 16;
    int contentWidth = 0;
    int contentHeight = 0;
    int width = 0;
    int height = 0;
    std::string hintImage;
    bool swapping = false;
    bool refusedHere = false; // the last drop over the plan found no free cell
    bool rebuilding = false;
};

} // namespace Vellaris
