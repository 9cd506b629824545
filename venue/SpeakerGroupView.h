#pragma once

#include <string>

#include "tessel/Object.h"
#include "tessel/SharedPtr.h"
#include "venue/RoomEditGrid.h"
#include "venue/SpeakerGroup.h"

namespace Vellaris
{

// One group as the room editor draws it: the node picture ("masterNode" for the master group,
// "groupNode" otherwise) with the group's title, and a frame around the group's speakers. Every
// group view of an editor shares the editor's grid; a group without speakers gets a frame of one
// free cell, so speakers can be dropped into it.
class SpeakerGroupView : public Tessel::Object
{
public:
    SpeakerGroupView(SpeakerGroup* group, const PlanGrid& grid, const PlanRect& frame)
        : group(Tessel::retained(group)), grid(grid), frame(frame)
    {
    }

    SpeakerGroup* getGroup() const { return group.get(); }
    const PlanGrid& getGrid() const { return grid; }
    // The frame, in editor pixels; the title band lies inside it along the top.
    const PlanRect& getFrame() const { return frame; }
    bool isMaster() const { return group && group->getType() == SpeakerGroup::kMaster; }
    std::string getNodeImage() const { return isMaster() ? "masterNode" : "groupNode"; }
    std::string getTitle() const { return group ? group->getTitle() : std::string(); }

private:
    ~SpeakerGroupView() override = default;

    Tessel::SharedPtr<SpeakerGroup> group;
    PlanGrid grid;
    PlanRect frame;
};

} // namespace Vellaris
