#pragma once

#include <string>

#include "tessel/IUnknown.h"

namespace Tessel
{
class Object;
}

namespace Filtra
{

// A component that makes views of itself by name for the skin ("CurveDisplay",
// "CurveMicroDisplay", "CurveSelectDisplay" for an equaliser).
class IDisplayComponent : public virtual Tessel::IUnknown
{
public:
    static constexpr Tessel::UID kIID{0x7E55E300, 0x0002, 0x4000, 0x80, 0x00, 0x00,
                                      0x00,       0x00,   0x00,   0x03, 0x02};

    // A new view (one reference for the caller) bound to this component, or nullptr for a name
    // the component does not know.
    virtual Tessel::Object* createDisplayView(const std::string& viewName) = 0;

protected:
    ~IDisplayComponent() override = default;
};

} // namespace Filtra
