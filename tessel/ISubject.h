#pragma once

#include "tessel/IUnknown.h"

namespace Tessel
{

class IObserver;
class Message;

// Something that can be observed. Observers are not retained: an observer removes itself before
// it goes away.
class ISubject : public virtual IUnknown
{
public:
    static constexpr UID kIID{0x7E55E100, 0x0004, 0x4000, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x04};

    // Adds `observer` (once; adding it again does nothing).
    virtual void addObserver(IObserver* observer) = 0;
    // Removes `observer`; safe to call while a signal is being delivered.
    virtual void removeObserver(IObserver* observer) = 0;
    // Sends `msg` at once to every observer, in the order they were added. Observers added during
    // the delivery do not get this message; observers removed during it are skipped.
    virtual void signal(const Message& msg) = 0;
};

} // namespace Tessel
