#pragma once

#include <cstdint>
#include <map>

#include "tessel/IDescriptorWatcher.h"

namespace Tessel
{

// A descriptor watcher that someone polls: poll() asks the system (without waiting) which watched
// descriptors are readable and calls their callbacks. Platforms without an event loop of their own
// call poll() from their idle turns.
class DescriptorPoller : public IDescriptorWatcher
{
public:
    bool watch(int fd, Callback onReadable) override;
    void unwatch(int fd) override;

    // Calls the callback of every readable descriptor once; returns how many were called.
    // Never blocks.
    int poll();
    int count() const { return int(watched.size()); }

private:
    struct Entry
    {
        Callback callback;
        uint64_t serial = 0; // tells a descriptor watched anew from the one a poll saw
    };
    std::map<int, Entry> watched;
    uint64_t nextSerial = 1;
};

} // namespace Tessel
