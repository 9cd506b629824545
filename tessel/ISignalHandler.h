#pragma once

#include <cstdint>

namespace Tessel
{

class IObserver;
class ISubject;
class Message;

// The framework's signal handler: observer lists and deferred messages.
class ISignalHandler
{
public:
    // Adds / removes `observer` to / from `subject`'s observers (same as the subject's own calls).
    virtual void addObserver(ISubject* subject, IObserver* observer) = 0;
    virtual void removeObserver(ISubject* subject, IObserver* observer) = 0;
    // Signals `msg` to `subject`'s observers at once.
    virtual void signal(ISubject* subject, const Message& msg) = 0;
    // Posts `msg` to `observer` for delivery on the GUI thread after `delayMs` milliseconds (0: the
    // next turn of the event loop). The pending message holds a reference to `observer`. Callable
    // from any thread.
    virtual void post(IObserver* observer, const Message& msg, int64_t delayMs = 0) = 0;
    // Drops messages still pending for `observer`; returns how many.
    virtual int cancel(IObserver* observer) = 0;

protected:
    virtual ~ISignalHandler() = default;
};

} // namespace Tessel
