#pragma once

#include <string>

#include "tessel/Object.h"
#include "tessel/SharedPtr.h"
#include "venue/RoomEditGrid.h"
#include "venue/SpeakerGroup.h"

namespace Vellaris
{

// One group as the room editor draws it: the node picture ("masterNode" for the master group,
// "groupNode" otherwise) with the group's title, and a frame around the group's speakers and one
// free cell (the cell a drop into the group takes when none nearer the pointer is free; a group
// without speakers shows just that cell). The speakers keep their arrangement inside the frame:
// a speaker is drawn at the area's corner plus its location less the group's smallest location
// (`base`). The grid a drop snaps to starts at the area's corner.
class SpeakerGroupView : public Tessel::Object
{
public:
    SpeakerGroupView(SpeakerGroup* group, const PlanGrid& grid, const PlanRect& frame,
                     const PlanRect& area = {}, PlanPoint base = {}, PlanPoint freeCell = kNoFreeCell)
        : group(Tessel::retained(group)), grid(grid), frame(frame), area(area), base(base), freeCell(freeCell)
    {
    }

    SpeakerGroup* getGroup() const { return group.get(); }
    // The group's grid: its origin is the corner of the speakers' area.
    const PlanGrid& getGrid() const { return grid; }
    // The frame, in editor pixels; the title band lies inside it along the top.
    const PlanRect& getFrame() const { return frame; }
    // The part of the frame that holds speaker cells (below the title band, inside the padding).
    const PlanRect& getArea() const { return area; }
    // The smallest stored location of the group's speakers; it is drawn at the area's corner.
    PlanPoint getBase() const { return base; }
    // The free cell the frame was sized for (editor pixels).
    PlanPoint getFreeCell() const { return freeCell; }
    // Where a speaker stored at (x, y) is drawn, and the location that stores a cell drawn at `cell`.
    PlanPoint toPlan(int x, int y) const { return {area.x + x - base.x, area.y + y - base.y}; }
    PlanPoint toLocation(PlanPoint cell) const
    {
        return {cell.x - area.x + base.x, cell.y - area.y + base.y};
    }
    bool isMaster() const { return group && group->getType() == SpeakerGroup::kMaster; }
    std::string getNodeImage() const { return isMaster() ? "masterNode" : "groupNode"; }
    std::string getTitle() const { return group ? group->getTitle() : std::string(); }

private:
    ~SpeakerGroupView() override = default;

    Tessel::SharedPtr<SpeakerGroup> group;
    PlanGrid grid;
    PlanRect frame;
    PlanRect area;
    PlanPoint base;
    PlanPoint freeCell;
};

} // namespace Vellaris
