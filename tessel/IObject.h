#pragma once

#include <string>

#include "tessel/IUnknown.h"

namespace Tessel
{

class Message;
class Variant;

// Named properties and named methods, used by skins and scripts.
class IObject : public virtual IUnknown
{
public:
    static constexpr UID kIID{0x7E55E100, 0x0005, 0x4000, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x05};

    // Fills `value` with the property `name`; returns false when there is no such property.
    virtual bool getProperty(const std::string& name, Variant& value) const = 0;
    // Changes the property `name`; returns false when there is no such property or it is read-only.
    virtual bool setProperty(const std::string& name, const Variant& value) = 0;
    // Runs the method named by msg's identifier with msg's arguments; fills `result` and returns
    // true when the method exists.
    virtual bool invokeMethod(Variant& result, const Message& msg) = 0;
};

} // namespace Tessel
