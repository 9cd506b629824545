#pragma once

#include <string>

#include "tessel/IUnknown.h"

namespace Tessel
{

class Attributes;
class Object;

// Something that makes named views of itself for the skin ("CurveDisplay", "GEQDisplay",
// "MeterDisplay0" ...). The view layer finds the component by its skin address, asks it for this
// interface and shows what it gets, without knowing the component's class.
class IViewFactory : public virtual IUnknown
{
public:
    static constexpr UID kIID{0x7E55E100, 0x0031, 0x4000, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x31};

    // A view named `viewName` showing this object, with one reference for the caller, or nullptr
    // for a name it does not make. `arguments` are settings the skin gives the view (may be
    // empty). A view keeps what it shows alive for as long as it lives, signals "changed" when
    // that changes, and is read through its properties (IObject) and the interfaces it answers
    // (queryInterface), never through its class. Asking twice may give the same view again.
    virtual Object* createView(const std::string& viewName, const Attributes& arguments) = 0;

protected:
    ~IViewFactory() override = default;
};

} // namespace Tessel
