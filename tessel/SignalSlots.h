#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tessel/Object.h"
#include "tessel/SharedPtr.h"

namespace Tessel
{

// Connections from messages of other subjects to functions: a component keeps one to react to
// what its neighbours signal. Each slot observes its subject until it is removed or the list
// goes; the subject is retained meanwhile, so it cannot vanish under the slot. (So a component
// must not connect its own slots to itself: that reference would keep it alive for ever.)
class SignalSlots
{
public:
    using Function = std::function<void(const Message&)>;

    SignalSlots() = default;
    ~SignalSlots() { removeAll(); }
    SignalSlots(const SignalSlots&) = delete;
    SignalSlots& operator=(const SignalSlots&) = delete;

    // Calls `function` for every message `messageId` that `subject` signals (every message when
    // `messageId` is empty). Returns an id for remove().
    int add(ISubject* subject, const std::string& messageId, Function function);
    // Removes the slot `id`; returns whether it existed.
    bool remove(int id);
    // Removes every slot of `subject`.
    void removeSubject(ISubject* subject);
    void removeAll();
    int count() const { return int(slots.size()); }

private:
    class Slot;
    std::vector<Slot*> slots;
    int nextId = 1;
};

} // namespace Tessel
