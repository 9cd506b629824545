#pragma once

#include <string>
#include <vector>

#include "tessel/IGUI.h"
#include "tessel/IdleTaskList.h"

namespace Tessel
{

// What every platform's event loop keeps for the application, whatever drives the loop: the
// command line it was started with, a restart asked for, and the idle tasks it ticks. A platform
// derives from it in place of IGUI and supplies initialize, runEventLoop and quit.
class EventLoopBase : public IGUI
{
public:
    IdleTaskList& getIdleTasks() { return idleTasks; }

protected:
    bool isRestartRequested() const override { return restartRequested; }
    void requestRestart() override { restartRequested = true; }
    const std::vector<std::string>& getArguments() const override { return arguments; }
    void addIdleTask(ITimerTask* task) override { idleTasks.add(task); }
    void removeIdleTask(ITimerTask* task) override { idleTasks.remove(task); }

    std::vector<std::string> arguments;
    bool restartRequested = false;
    IdleTaskList idleTasks;
};

} // namespace Tessel
