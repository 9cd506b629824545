#pragma once

namespace Tessel
{

// The computer's sleep and wake as the platform learns of them, passed on to the application
// component (the root's child "Application") as the messages "appSuspended" and "appResumed".
// Several sources may report one sleep (the GUI toolkit's application state, the system's sleep
// signal): the application hears each sleep once and each wake once, always in turn, never a
// wake without a sleep. Without an application component nothing is sent and nothing is
// remembered. GUI thread only.
class SystemPower
{
public:
    static SystemPower& get();

    // The computer is about to sleep.
    void willSleep();
    // The computer woke up.
    void didWake();
    bool isAsleep() const { return asleep; }
    // Forgets a sleep that was reported (for tests and a new application object).
    void reset() { asleep = false; }

private:
    bool asleep = false;
};

} // namespace Tessel
