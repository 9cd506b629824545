#pragma once

#include "tessel/IUnknown.h"

namespace Tessel
{

class DragData;

// Where a drag is over a drop target, in the target view's own coordinates.
struct DropPoint
{
    double x = 0;
    double y = 0;
};

// Something that takes drops: a component shown by a view that accepts drags (the room editor's
// floor plan, a group of the speaker list). The calls of one drag come in this order: dragEnter,
// then any number of dragOver, then either dragLeave or drop. A target that refuses in dragEnter
// still gets dragOver (it may accept at another point) and dragLeave.
class IDropTarget : public virtual IUnknown
{
public:
    static constexpr UID kIID{0x7E55E100, 0x0034, 0x4000, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x34};

    // The drag came in; true when the target would take `data` at `point`.
    virtual bool dragEnter(const DragData& data, const DropPoint& point) = 0;
    // The drag moved; true when the target would take it here.
    virtual bool dragOver(const DragData& data, const DropPoint& point) = 0;
    // The drag went away (or was cancelled) without a drop here.
    virtual void dragLeave(const DragData& data) = 0;
    // The user let go here; true when the target took the data.
    virtual bool drop(const DragData& data, const DropPoint& point) = 0;

protected:
    ~IDropTarget() override = default;
};

// Where a drag starts: told once how it ended.
class IDragSource : public virtual IUnknown
{
public:
    static constexpr UID kIID{0x7E55E100, 0x0035, 0x4000, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x35};

    // The drag of `data` ended: `accepted` is true when a target took the drop, false when the
    // user let go where nobody accepted it or the drag was cancelled (the source may then remove
    // a speaker dragged off the floor plan, or put it back).
    virtual void dragEnded(const DragData& data, bool accepted) = 0;

protected:
    ~IDragSource() override = default;
};

} // namespace Tessel
