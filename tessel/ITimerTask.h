#pragma once

namespace Tessel
{

// A task that the GUI calls on every idle turn (see IGUI::addIdleTask). GUI thread only.
class ITimerTask
{
public:
    // One idle turn. The task may remove itself (or others) from the idle list here.
    virtual void onIdleTimer() = 0;

protected:
    virtual ~ITimerTask() = default;
};

} // namespace Tessel
