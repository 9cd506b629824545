#pragma once

#include <atomic>

#include "tessel/IUnknown.h"

namespace Tessel
{

// Implements IUnknown's reference count. The count starts at 1: whoever creates an object holds
// the first reference and gives it up with release(). The count is atomic so that references may
// be taken from another thread (posting a message); everything else stays on the GUI thread.
class Unknown : public virtual IUnknown
{
public:
    Unknown() = default;
    Unknown(const Unknown&) = delete;
    Unknown& operator=(const Unknown&) = delete;

    // Answers IUnknown; subclasses add their interfaces and then call the base.
    void* queryInterface(const UID& iid) override;
    int retain() override;
    int release() override;
    // The current count, for tests and diagnostics.
    int getRetainCount() const { return refCount.load(); }

protected:
    ~Unknown() override = default;

private:
    std::atomic<int> refCount{1};
};

} // namespace Tessel
