#include "tessel/DragSession.h"

namespace Tessel
{

DragSession& DragSession::get()
{
    static DragSession session;
    return session;
}

void DragSession::begin(IDragSource* newSource, DragData* newData)
{
    cancel();
    if (!newData)
        return;
    source = Tessel::retained(newSource);
    data = Tessel::retained(newData);
}

bool DragSession::moveTo(IDropTarget* target, const DropPoint& point)
{
    if (!data)
        return false;
    // Callbacks may start or end drags themselves: work on what this call began with.
    SharedPtr<DragData> dragged = data;
    if (target != over.get())
    {
        if (SharedPtr<IDropTarget> left = over)
        {
            over = nullptr;
            left->dragLeave(*dragged);
        }
        overAccepts = false;
        if (!target || data.get() != dragged.get())
            return false;
        over = Tessel::retained(target);
        overAccepts = target->dragEnter(*dragged, point);
        return overAccepts;
    }
    if (!target)
        return false;
    overAccepts = target->dragOver(*dragged, point);
    return overAccepts;
}

bool DragSession::finish(IDropTarget* target, const DropPoint& point)
{
    if (!data)
        return false;
    SharedPtr<DragData> dragged = data;
    if (target != over.get())
        moveTo(target, point);
    if (data.get() != dragged.get())
        return false;
    bool accepted = false;
    if (SharedPtr<IDropTarget> under = over)
    {
        over = nullptr;
        accepted = under->drop(*dragged, point);
    }
    if (data.get() == dragged.get())
        end(accepted);
    return accepted;
}

void DragSession::cancel()
{
    if (!data)
        return;
    if (SharedPtr<IDropTarget> left = over)
    {
        over = nullptr;
        left->dragLeave(*data);
    }
    end(false);
}

void DragSession::end(bool accepted)
{
    // Cleared before the call, so the source may begin a new drag from dragEnded.
    SharedPtr<IDragSource> from = std::move(source);
    SharedPtr<DragData> dragged = std::move(data);
    source = nullptr;
    data = nullptr;
    over = nullptr;
    overAccepts = false;
    if (from && dragged)
        from->dragEnded(*dragged, accepted);
}

} // namespace Tessel
