#pragma once

#include <cstdint>
#include <functional>

#include "tessel/ITimerTask.h"

namespace Tessel
{

// An idle timer that a component embeds for periodic or delayed work. It registers itself with the
// GUI's idle-task list while started and runs its work from the idle turns:
// - start(period, periodic): stores both; the next due time is now + period (0 when the period is
//   0); registers with the idle list unless registered already.
// - stop(): unregisters (if registered). Destruction stops it.
// - each idle turn: with a period above 0 nothing happens before the due time; when due, a
//   periodic timer moves the due time to now + period and runs the work, a one-shot timer stops
//   itself first and then runs it. With period 0 the work runs on every idle turn; a one-shot timer
//   with period 0 therefore runs once, on the next idle turn.
// "Now" is GetSystemTicks().
class IdleClient : public ITimerTask
{
public:
    using Work = std::function<void()>;

    // `work` runs when the timer is due; a subclass may instead override onIdle().
    explicit IdleClient(Work work = {}) : work(std::move(work)) {}
    ~IdleClient() override;
    IdleClient(const IdleClient&) = delete;
    IdleClient& operator=(const IdleClient&) = delete;

    void start(int64_t periodMs, bool isPeriodic = true);
    void stop();
    void setWork(Work newWork) { work = std::move(newWork); }

    int64_t getPeriod() const { return period; }
    int64_t getNextDue() const { return nextDue; }
    bool isPeriodic() const { return periodic; }
    bool isRegistered() const { return registered; }

    // ITimerTask: applies the rules above.
    void onIdleTimer() override;

protected:
    // The idle work; the default runs the function given at construction.
    virtual void onIdle();

private:
    Work work;
    int64_t period = 0;
    int64_t nextDue = 0;
    bool periodic = false;
    bool registered = false;
};

} // namespace Tessel
