#include "tessel/Unknown.h"

namespace Tessel
{

void* Unknown::queryInterface(const UID& iid)
{
    if (iid == IUnknown::kIID)
        return static_cast<IUnknown*>(this);
    return nullptr;
}

int Unknown::retain()
{
    return refCount.fetch_add(1, std::memory_order_relaxed) + 1;
}

int Unknown::release()
{
    int count = refCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (count == 0)
        delete this;
    return count;
}

} // namespace Tessel
