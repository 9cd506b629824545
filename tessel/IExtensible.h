#pragma once

#include "tessel/IUnknown.h"

namespace Tessel
{

// Something that others can extend at run time with extension objects: a feature attaches an
// object of its own (a context-menu handler, a view factory) to a component it does not own
// instead of deriving from the component's class. Extensions are asked in the order they were
// added, after the extended object itself.
class IExtensible : public virtual IUnknown
{
public:
    static constexpr UID kIID{0x7E55E100, 0x0032, 0x4000, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x32};

    // Attaches `extension` (retained until it is removed or the extended object goes). False when
    // it is null or attached already. An extension must not hold a strong reference to the object
    // it extends (that would keep both alive for ever).
    virtual bool addExtension(IUnknown* extension) = 0;
    // Detaches `extension` and releases it; false when it was not attached.
    virtual bool removeExtension(IUnknown* extension) = 0;
    // The interface `iid` of the first extension that answers it (borrowed; no reference added),
    // or nullptr. The extended object's own interfaces are not included: ask queryInterface first.
    virtual void* queryExtension(const UID& iid) = 0;
    // Typed form of queryExtension.
    template <class I> I* getExtension() { return static_cast<I*>(queryExtension(I::kIID)); }

protected:
    ~IExtensible() override = default;
};

} // namespace Tessel
