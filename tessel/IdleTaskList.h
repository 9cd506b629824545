#pragma once

#include <vector>

namespace Tessel
{

class ITimerTask;

// The list of idle tasks that a platform's event loop ticks on every idle turn. Platform neutral:
// the headless platform ticks it from advance(), the Qt platform from a timer. GUI thread only.
class IdleTaskList
{
public:
    // Adds `task` (not owned) at the end; adding it again does nothing.
    void add(ITimerTask* task);
    // Removes `task`; safe while tickAll runs (a removed task is not called afterwards).
    void remove(ITimerTask* task);
    bool contains(const ITimerTask* task) const;
    int count() const { return int(tasks.size()); }
    // Calls every task once, in the order added, from a snapshot; tasks added during the turn wait
    // for the next one, tasks removed during it are skipped.
    void tickAll();

private:
    std::vector<ITimerTask*> tasks;
};

} // namespace Tessel
