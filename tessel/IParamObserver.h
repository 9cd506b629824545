#pragma once

#include "tessel/IUnknown.h"

namespace Tessel
{

class IParameter;

// The controller side of a parameter: told about value changes and edit gestures.
class IParamObserver : public virtual IUnknown
{
public:
    static constexpr UID kIID{0x7E55E100, 0x0012, 0x4000, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x12};

    // The value of `param` changed through a notifying call (setValue, setNormalized, fromString
    // with notify true). Called after the new value is stored.
    virtual void paramChanged(IParameter* param) = 0;
    // The user began (`begin` true) or ended an edit gesture on `param`; the being-edited flag is
    // already set (on begin) or already cleared (on end).
    virtual void paramEdit(IParameter* param, bool begin) = 0;
};

} // namespace Tessel
