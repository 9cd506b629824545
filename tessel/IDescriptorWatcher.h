#pragma once

#include <functional>

namespace Tessel
{

// Watches file descriptors (sockets) for readability and calls back on the GUI thread, so a
// component can serve a socket without a thread of its own. The Qt platform wakes its event loop
// as soon as a descriptor is readable; the headless platform looks at every idle turn.
class IDescriptorWatcher
{
public:
    using Callback = std::function<void()>;

    // Calls `onReadable` on the GUI thread each time `fd` has something to read (until unwatch).
    // The callback should read until the descriptor would block: it is called again only while
    // data is left. Watching a descriptor that is watched already replaces its callback. Returns
    // false when `fd` is negative or cannot be watched. The watcher never closes `fd`.
    virtual bool watch(int fd, Callback onReadable) = 0;
    // Stops watching `fd`; safe inside any callback (a callback of `fd` already running ends
    // normally, and none is called after this). Unknown descriptors are ignored.
    virtual void unwatch(int fd) = 0;

protected:
    virtual ~IDescriptorWatcher() = default;
};

} // namespace Tessel
