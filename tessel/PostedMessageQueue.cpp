#include "tessel/PostedMessageQueue.h"

#include <algorithm>

#include "tessel/ISubject.h"

namespace Tessel
{

void PostedMessageQueue::setWakeFunction(WakeFunction function)
{
    std::lock_guard<std::mutex> lock(mutex);
    wake = std::move(function);
}

void PostedMessageQueue::post(IObserver* target, const Message& msg, int64_t dueTick)
{
    if (!target)
        return;
    WakeFunction wakeNow;
    {
        std::lock_guard<std::mutex> lock(mutex);
        bool earliest = entries.empty() || dueTick < entries.front().due;
        Entry entry{dueTick, nextSequence++, SharedPtr<IObserver>(target), msg};
        auto position =
            std::upper_bound(entries.begin(), entries.end(), entry,
                             [](const Entry& a, const Entry& b)
                             { return a.due < b.due || (a.due == b.due && a.sequence < b.sequence); });
        entries.insert(position, std::move(entry));
        if (earliest)
            wakeNow = wake;
    }
    if (wakeNow)
        wakeNow(dueTick);
}

int PostedMessageQueue::runDue(int64_t nowTicks)
{
    uint64_t limit;
    {
        std::lock_guard<std::mutex> lock(mutex);
        limit = nextSequence;
    }
    int delivered = 0;
    for (;;)
    {
        Entry entry;
        {
            std::lock_guard<std::mutex> lock(mutex);
            // The first due entry that was queued before this call; later ones wait for the next.
            auto it = std::find_if(entries.begin(), entries.end(),
                                   [&](const Entry& e) { return e.due > nowTicks || e.sequence < limit; });
            if (it == entries.end() || it->due > nowTicks)
                break;
            entry = std::move(*it);
            entries.erase(it);
        }
        ISubject* subject = unknownCast<ISubject>(entry.target.get());
        entry.target->notify(subject, entry.message);
        ++delivered;
        // The entry's reference to the target goes here, after delivery.
    }
    return delivered;
}

int PostedMessageQueue::cancel(IObserver* target)
{
    std::vector<Entry> dropped;
    {
        std::lock_guard<std::mutex> lock(mutex);
        auto it = std::stable_partition(entries.begin(), entries.end(),
                                        [&](const Entry& e) { return e.target.get() != target; });
        std::move(it, entries.end(), std::back_inserter(dropped));
        entries.erase(it, entries.end());
    }
    // Released outside the lock: a target's destructor may post.
    return int(dropped.size());
}

std::optional<int64_t> PostedMessageQueue::nextDueTick() const
{
    std::lock_guard<std::mutex> lock(mutex);
    if (entries.empty())
        return std::nullopt;
    return entries.front().due;
}

int PostedMessageQueue::count() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return int(entries.size());
}

void PostedMessageQueue::clear()
{
    std::vector<Entry> dropped;
    {
        std::lock_guard<std::mutex> lock(mutex);
        dropped.swap(entries);
    }
}

} // namespace Tessel
