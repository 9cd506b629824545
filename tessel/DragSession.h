#pragma once

#include "tessel/DragData.h"
#include "tessel/IDragDrop.h"
#include "tessel/SharedPtr.h"

namespace Tessel
{

// The one drag in progress, as the view layer runs it: begin() when the user starts dragging,
// moveTo() whenever the pointer moves over a target (or off every target), and finish() when the
// user lets go, or cancel(). It calls the targets in the order IDropTarget promises and tells the
// source exactly once how the drag ended, also when a new drag begins before the old one ended.
// Source, targets and data are retained while the drag lives. GUI thread only.
class DragSession
{
public:
    // The process-wide session.
    static DragSession& get();

    DragSession() = default;
    ~DragSession() { cancel(); }
    DragSession(const DragSession&) = delete;
    DragSession& operator=(const DragSession&) = delete;

    // Starts dragging `data` from `source` (may be null). An unfinished drag is cancelled first.
    void begin(IDragSource* source, DragData* data);
    bool isActive() const { return data.get() != nullptr; }
    // The data of the drag in progress (borrowed), or nullptr.
    DragData* getData() const { return data.get(); }

    // The pointer is over `target` at `point` (null: over no target). Leaving a target calls its
    // dragLeave, entering one its dragEnter, staying on it its dragOver. Returns whether the
    // target under the pointer would take the drop here.
    bool moveTo(IDropTarget* target, const DropPoint& point);
    // The user let go over `target` (null: over no target): the target's drop decides; a target
    // that refused its last dragEnter/dragOver is still asked. Then the source hears the result.
    // Returns whether the drop was taken; false without a drag in progress.
    bool finish(IDropTarget* target, const DropPoint& point);
    // Ends the drag without a drop (Escape, the window lost the pointer): the target under the
    // pointer gets dragLeave, the source dragEnded(false).
    void cancel();

private:
    void end(bool accepted);

    SharedPtr<IDragSource> source;
    SharedPtr<DragData> data;
    SharedPtr<IDropTarget> over; // the target the pointer is on
    bool overAccepts = false;
};

} // namespace Tessel
