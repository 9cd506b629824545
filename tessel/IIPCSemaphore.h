#pragma once

#include <string>

#include "tessel/IUnknown.h"

namespace Tessel
{

// A named semaphore shared between processes of the same user (single-instance guard).
class IIPCSemaphore : public virtual IUnknown
{
public:
    static constexpr UID kIID{0x7E55E100, 0x0032, 0x4000, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x32};

    // Takes the semaphore without waiting; false while another process (or another semaphore
    // object of this process) holds it. Taking it again through the same object succeeds.
    virtual bool tryTake() = 0;
    // Gives it back (also done when the object goes or the process ends).
    virtual void give() = 0;
    virtual bool isTaken() const = 0;
    // Why the last tryTake() failed when another process holding it was not the reason (the lock
    // could not be made at all: no private folder, no file), in plain words; empty otherwise.
    virtual std::string getFailure() const { return {}; }
};

} // namespace Tessel
