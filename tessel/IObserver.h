#pragma once

#include "tessel/IUnknown.h"

namespace Tessel
{

class ISubject;
class Message;

// Receives messages from the subjects it observes and messages posted to it.
class IObserver : public virtual IUnknown
{
public:
    static constexpr UID kIID{0x7E55E100, 0x0003, 0x4000, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x03};

    // Called on the GUI thread. `subject` is the signalling subject; for a posted message it is the
    // target itself when the target is a subject, else nullptr.
    virtual void notify(ISubject* subject, const Message& msg) = 0;
};

} // namespace Tessel
