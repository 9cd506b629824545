#pragma once

#include <cstdint>
#include <string>

#include "tessel/IUnknown.h"

namespace Tessel
{

class IParameter;

// Gives views access to the parameters of a controller (a component).
class IController : public virtual IUnknown
{
public:
    static constexpr UID kIID{0x7E55E100, 0x0021, 0x4000, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x21};

    // The parameter named `name`, or nullptr (borrowed).
    virtual IParameter* findParameter(const std::string& name) const = 0;
    // The parameter with `tag`, or nullptr (borrowed).
    virtual IParameter* getParameterByTag(int32_t tag) const = 0;
    virtual int countParameters() const = 0;
    // The parameter at `index`, or nullptr (borrowed).
    virtual IParameter* getParameterAt(int index) const = 0;
};

} // namespace Tessel
