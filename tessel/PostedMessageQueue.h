#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "tessel/IObserver.h"
#include "tessel/Message.h"
#include "tessel/SharedPtr.h"

namespace Tessel
{

// Messages posted for later delivery on the GUI thread. Each pending message holds a strong
// reference to its target until it has been delivered (or dropped). Delivery order: by due time,
// then by posting order. Platform neutral: a platform calls runDue() from its event loop and
// arms a wake-up when told the earliest due time changed. post() may be called from any thread;
// runDue() and clear() only on the GUI thread.
class PostedMessageQueue
{
public:
    // Called (on the posting thread, outside the queue's lock) with the new earliest due tick when
    // a post makes it earlier than before, so the platform can wake its loop in time.
    using WakeFunction = std::function<void(int64_t dueTick)>;

    PostedMessageQueue() = default;
    ~PostedMessageQueue() { clear(); }
    PostedMessageQueue(const PostedMessageQueue&) = delete;
    PostedMessageQueue& operator=(const PostedMessageQueue&) = delete;

    void setWakeFunction(WakeFunction function);

    // Queues `msg` for `target`, due at `dueTick`. A null target is ignored.
    void post(IObserver* target, const Message& msg, int64_t dueTick);
    // Delivers every message due at or before `nowTicks` that was queued before this call began
    // (messages posted during delivery wait for the next call, even with delay 0). Each target
    // gets notify(target-as-subject, msg). Returns the number delivered.
    int runDue(int64_t nowTicks);
    // Drops pending messages for `target` (releasing their references); returns how many.
    int cancel(IObserver* target);
    // The earliest due tick, or nothing when the queue is empty.
    std::optional<int64_t> nextDueTick() const;
    int count() const;
    // Drops everything (releasing the references).
    void clear();

private:
    struct Entry
    {
        int64_t due;
        uint64_t sequence;
        SharedPtr<IObserver> target;
        Message message;
    };

    mutable std::mutex mutex;
    std::vector<Entry> entries; // kept sorted by (due, sequence)
    uint64_t nextSequence = 0;
    WakeFunction wake;
};

} // namespace Tessel
