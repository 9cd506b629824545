#include "tessel/IdleClient.h"

#include "tessel/IGUI.h"
#include "tessel/Platform.h"

namespace Tessel
{

IdleClient::~IdleClient()
{
    stop();
}

void IdleClient::start(int64_t periodMs, bool isPeriodic)
{
    period = periodMs;
    periodic = isPeriodic;
    nextDue = period > 0 ? GetSystemTicks() + period : 0;
    if (!registered)
    {
        GetGUI()->addIdleTask(this);
        registered = true;
    }
}

void IdleClient::stop()
{
    if (registered)
    {
        GetGUI()->removeIdleTask(this);
        registered = false;
    }
}

void IdleClient::onIdleTimer()
{
    if (period > 0)
    {
        int64_t now = GetSystemTicks();
        if (now < nextDue)
            return;
        if (periodic)
            nextDue = now + period;
        else
            stop();
    }
    else if (!periodic)
    {
        stop();
    }
    onIdle();
}

void IdleClient::onIdle()
{
    if (work)
        work();
}

} // namespace Tessel
