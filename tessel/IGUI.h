#pragma once

#include <string>
#include <vector>

namespace Tessel
{

class IApplicationStartup;
class ITimerTask;

// The GUI service: start-up, the event loop and its idle tasks.
class IGUI
{
public:
    // Prepares the GUI with the program's arguments and start-up object (not retained; it must
    // live until runEventLoop returns). Returns false when the GUI cannot start.
    virtual bool initialize(const std::vector<std::string>& arguments, IApplicationStartup* startup) = 0;
    // Calls the start-up object, runs the event loop until quit() and returns the exit code.
    virtual int runEventLoop() = 0;
    // Asks the running loop to end with `exitCode`.
    virtual void quit(int exitCode = 0) = 0;
    // Whether a restart was requested during the run (the start-up routine then starts the program
    // again with "/restart").
    virtual bool isRestartRequested() const = 0;
    virtual void requestRestart() = 0;
    // The arguments given to initialize.
    virtual const std::vector<std::string>& getArguments() const = 0;
    // Adds / removes an idle task (not owned); the event loop calls every task on each idle turn.
    virtual void addIdleTask(ITimerTask* task) = 0;
    virtual void removeIdleTask(ITimerTask* task) = 0;

protected:
    virtual ~IGUI() = default;
};

} // namespace Tessel
