#pragma once

#include "tessel/IUnknown.h"
#include "tessel/ParamTypes.h"

namespace Tessel
{

class IParameter;

// Receives previews from controls: a value the user is dragging to (kind 2), a text parameter's
// menu request (kind 4). A preview never changes the parameter's own value.
class IParamPreviewHandler : public virtual IUnknown
{
public:
    static constexpr UID kIID{0x7E55E100, 0x0013, 0x4000, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x13};

    virtual void paramPreview(IParameter* param, const ParamPreviewEvent& event) = 0;
};

} // namespace Tessel
