#include "tessel/IdleTaskList.h"

#include <algorithm>

#include "tessel/ITimerTask.h"

namespace Tessel
{

void IdleTaskList::add(ITimerTask* task)
{
    if (task && !contains(task))
        tasks.push_back(task);
}

void IdleTaskList::remove(ITimerTask* task)
{
    auto it = std::find(tasks.begin(), tasks.end(), task);
    if (it != tasks.end())
        tasks.erase(it);
}

bool IdleTaskList::contains(const ITimerTask* task) const
{
    return std::find(tasks.begin(), tasks.end(), task) != tasks.end();
}

void IdleTaskList::tickAll()
{
    const std::vector<ITimerTask*> snapshot = tasks;
    for (ITimerTask* task : snapshot)
    {
        // A task removed by an earlier one this turn may already be gone.
        if (contains(task))
            task->onIdleTimer();
    }
}

} // namespace Tessel
