#pragma once

#include <string>

#include "tessel/SharedPtr.h"
#include "venue/RoomEditGrid.h"

namespace Tessel
{
class DragData;
}

namespace Vellaris
{

class RoomEditView;
class SpeakerGroup;
class SpeakerNetworkItem;
class SpeakerPosition;

// What a drag over the room editor's floor plan does: which group it targets, the grid cell it
// snaps to (kept free of other speakers), whether it would swap two speakers, and what the drop
// changes in the room. The editor passes it the drop target calls; points are editor pixels.
//
// The dragged data is examined in order: the first speaker item targets the editor's first group
// (and stands for the position that already holds it, if any; a speaker placed in another room of
// the venue is refused); otherwise the first speaker position targets its own group. A locked room
// refuses every drag. A pointer on a group's frame targets that group. The hot spot of the data
// (its "hotX"/"hotY" values, else the image's) is where the pointer holds the speaker cell, in
// cell pixels (a cell's pixels are plan pixels at any zoom): the cell's corner is snapped to the
// target group's grid, not the pointer. A cell that is taken or leaves the group's area moves to
// the nearest free one of the rings around it, else to the free cell the group's frame holds. A
// speaker let go on another speaker of its own group swaps places with it; on one of another
// group it joins that group.
class RoomSpeakerDragHandler
{
public:
    explicit RoomSpeakerDragHandler(RoomEditView& editor) : editor(editor) {}

    bool dragEnter(const Tessel::DragData& data, PlanPoint point);
    bool dragOver(const Tessel::DragData& data, PlanPoint point);
    void dragLeave();
    // Swap, or place the dragged speaker at the snapped cell of the target group. False (nothing
    // changes) for data the plan does not take and where no free cell is left.
    bool drop(const Tessel::DragData& data, PlanPoint point);

    // Whether a drag the plan takes is over it.
    bool isActive() const { return active; }
    // The cell the dragged speaker would take (kNoFreeCell when none is free).
    PlanPoint getTarget() const { return target; }
    // The position the drag would swap with, or nullptr.
    SpeakerPosition* getSwapPartner() const { return partner.get(); }
    // The position being dragged (nullptr for a speaker from the network list).
    SpeakerPosition* getDraggedPosition() const { return dragged.get(); }
    SpeakerGroup* getTargetGroup() const { return group.get(); }
    // Whether a drop would be taken at the last point.
    bool accepts() const { return accepting; }
    // Why the data or the last point is refused ("room is locked", "no free cell in Subs",
    // "already placed in Room 2"); "" while it is taken.
    const std::string& getRefusal() const { return refusal; }

private:
    bool examine(const Tessel::DragData& data);
    // Follows the pointer: swap partner, target group, snapped and freed cell.
    void track(PlanPoint point);
    void clear();

    RoomEditView& editor;
    bool active = false;
    bool accepting = false;
    bool hasSnapped = false;
    PlanPoint hot;
    PlanPoint lastSnapped;
    PlanPoint target = kNoFreeCell;
    std::string refusal;
    Tessel::SharedPtr<SpeakerNetworkItem> item;   // a speaker from the network list
    Tessel::SharedPtr<SpeakerPosition> dragged;   // the position being moved
    Tessel::SharedPtr<SpeakerPosition> partner;   // the position a drop would swap with
    Tessel::SharedPtr<SpeakerPosition> replaced;  // the missing speaker a drop would replace
    Tessel::SharedPtr<SpeakerGroup> group;        // the target group
    Tessel::SharedPtr<SpeakerGroup> defaultGroup; // the group the data targets by itself
};

} // namespace Vellaris
