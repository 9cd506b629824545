#pragma once

#include "tessel/UID.h"

namespace Tessel
{

// The reference-counted base of every framework object and interface. Interfaces derive from
// it virtually, so one object has exactly one reference count whatever interfaces it implements.
class IUnknown
{
public:
    // Identifier of this interface for queryInterface.
    static constexpr UID kIID{0x00000000, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

    // Returns this object seen as the interface with identifier `iid`, or nullptr when the object
    // does not offer it. The result is borrowed: no reference is added.
    virtual void* queryInterface(const UID& iid) = 0;
    // Adds a reference; returns the new count.
    virtual int retain() = 0;
    // Drops a reference and destroys the object when the count reaches zero; returns the new count.
    virtual int release() = 0;

protected:
    virtual ~IUnknown() = default;
};

// Asks `object` for interface I: first through queryInterface with I::kIID, then through the
// language's own cross cast, so classes that forget to list an interface still answer. Borrowed.
template <class I> I* unknownCast(IUnknown* object)
{
    if (!object)
        return nullptr;
    if (void* p = object->queryInterface(I::kIID))
        return static_cast<I*>(p);
    return dynamic_cast<I*>(object);
}

// Answers `iid` with `this` seen as interface I inside a queryInterface implementation.
#define TESSEL_QUERY_INTERFACE(I)                                                                            \
    if (iid == I::kIID)                                                                                      \
        return static_cast<I*>(this);

} // namespace Tessel
