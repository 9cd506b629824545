#include "tessel/Object.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <new>
#include <vector>

#include "tessel/ISignalHandler.h"
#include "tessel/Platform.h"
#include "tessel/SharedPtr.h"

namespace Tessel
{

const MetaClass Object::metaClass("Object", nullptr, []() -> Object* { return new Object; });

namespace
{
// Delivers a deferred signal: posted to itself, it signals the message on the subject it holds.
class DeferredSignal : public Object
{
public:
    DeferredSignal(ISubject* subject) : subject(subject) {}
    void notify(ISubject*, const Message& msg) override { subject->signal(msg); }

private:
    SharedPtr<ISubject> subject;
};
} // namespace

namespace
{
// Observer removals anywhere in the process. A delivery during which none happened knows that
// every observer of its snapshot is still there without looking each one up: a subject with a
// thousand observers would otherwise cost a million comparisons a signal.
std::atomic<uint64_t> observerRemovals{0};

uint64_t removalsSoFar()
{
    return observerRemovals.load(std::memory_order_relaxed);
}
} // namespace

// The two lists of an object in one allocation: slots [0, observerCount) are the observers in the
// order they were added, the next subjectCount slots the subjects observed. Lists are short (a
// parameter has a few views), so inserting and removing move the pointers behind the place.
class alignas(void*) Object::Links
{
public:
    // The block of `links` with room for one more observer or subject (made when there is none).
    static Links* grow(Links* links)
    {
        const uint32_t used = links ? links->observerCount + links->subjectCount : 0;
        const uint32_t capacity = links ? links->capacity : 0;
        if (links && used < capacity)
            return links;
        const uint32_t newCapacity = capacity == 0 ? 1 : capacity * 2;
        void* memory = ::operator new(sizeof(Links) + sizeof(void*) * newCapacity);
        Links* grown = new (memory) Links;
        grown->capacity = newCapacity;
        if (links)
        {
            grown->observerCount = links->observerCount;
            grown->subjectCount = links->subjectCount;
            std::copy(links->slots(), links->slots() + used, grown->slots());
            release(links);
        }
        return grown;
    }
    // Frees the block of `links` when both lists are empty; returns what the object keeps.
    static Links* shrink(Links* links)
    {
        if (links && links->observerCount == 0 && links->subjectCount == 0)
        {
            release(links);
            return nullptr;
        }
        return links;
    }
    static void release(Links* links)
    {
        links->~Links();
        ::operator delete(links);
    }

    uint32_t countObservers() const { return observerCount; }
    IObserver* observerAt(uint32_t index) const { return static_cast<IObserver*>(slots()[index]); }
    uint32_t countSubjects() const { return subjectCount; }
    Object* subjectAt(uint32_t index) const { return static_cast<Object*>(slots()[observerCount + index]); }

    bool hasObserver(IObserver* observer) const
    {
        void* key = observer;
        return std::find(slots(), slots() + observerCount, key) != slots() + observerCount;
    }
    // Needs room (grow) first.
    void appendObserver(IObserver* observer)
    {
        std::copy_backward(slots() + observerCount, slots() + observerCount + subjectCount,
                           slots() + observerCount + subjectCount + 1);
        slots()[observerCount++] = observer;
    }
    // Removes the first entry of `observer`; false when there is none.
    bool removeObserver(IObserver* observer)
    {
        void* key = observer;
        void** at = std::find(slots(), slots() + observerCount, key);
        if (at == slots() + observerCount)
            return false;
        std::copy(at + 1, slots() + observerCount + subjectCount, at);
        --observerCount;
        observerRemovals.fetch_add(1, std::memory_order_relaxed);
        return true;
    }
    // Needs room (grow) first.
    void appendSubject(Object* subject) { slots()[observerCount + subjectCount++] = subject; }
    void removeSubject(Object* subject)
    {
        void** first = slots() + observerCount;
        void** last = first + subjectCount;
        void** at = std::find(first, last, static_cast<void*>(subject));
        if (at == last)
            return;
        std::copy(at + 1, last, at);
        --subjectCount;
    }

private:
    Links() = default;
    // The slots follow the header in the same allocation.
    void** slots() const { return reinterpret_cast<void**>(const_cast<Links*>(this) + 1); }
    ~Links() = default;

    uint32_t observerCount = 0;
    uint32_t subjectCount = 0;
    uint32_t capacity = 0;
};

namespace
{
// The observers of a subject as they were when a delivery began. Deliveries are frequent and
// observer lists short: up to kInline of them are copied without allocating.
class ObserverSnapshot
{
public:
    static constexpr uint32_t kInline = 8;

    template <class At> ObserverSnapshot(uint32_t count, At at) : count(count)
    {
        if (count > kInline)
        {
            spill.reserve(count);
            for (uint32_t i = 0; i < count; ++i)
                spill.push_back(at(i));
        }
        else
            for (uint32_t i = 0; i < count; ++i)
                inlined[i] = at(i);
    }
    uint32_t size() const { return count; }
    IObserver* operator[](uint32_t index) const { return count > kInline ? spill[index] : inlined[index]; }

private:
    uint32_t count;
    IObserver* inlined[kInline];
    std::vector<IObserver*> spill;
};
} // namespace

Object::~Object()
{
    // Leave the lists of the subjects this object observes.
    while (links && links->countSubjects() > 0)
    {
        Object* subject = links->subjectAt(links->countSubjects() - 1);
        links->removeSubject(subject);
        if (subject->links)
        {
            while (subject->links->removeObserver(this))
            {
            }
            subject->links = Links::shrink(subject->links);
        }
    }
    links = Links::shrink(links);
    if (!links)
        return;
    const ObserverSnapshot snapshot(links->countObservers(),
                                    [this](uint32_t i) { return links->observerAt(i); });
    const Message destroyed(Messages::kDestroyed);
    const uint64_t removals = removalsSoFar();
    for (uint32_t i = 0; i < snapshot.size(); ++i)
    {
        IObserver* observer = snapshot[i];
        if (!links || (removalsSoFar() != removals && !links->hasObserver(observer)))
            continue;
        observer->notify(this, destroyed);
    }
    while (links && links->countObservers() > 0)
    {
        IObserver* observer = links->observerAt(0);
        links->removeObserver(observer);
        if (auto* object = dynamic_cast<Object*>(observer); object && object->links)
        {
            object->links->removeSubject(this);
            object->links = Links::shrink(object->links);
        }
    }
    if (links)
        Links::release(links);
    links = nullptr;
}

void* Object::queryInterface(const UID& iid)
{
    TESSEL_QUERY_INTERFACE(Object)
    TESSEL_QUERY_INTERFACE(ISubject)
    TESSEL_QUERY_INTERFACE(IObserver)
    TESSEL_QUERY_INTERFACE(IObject)
    return Unknown::queryInterface(iid);
}

int Object::countObservers() const
{
    return links ? int(links->countObservers()) : 0;
}

void Object::addObserver(IObserver* observer)
{
    if (!observer || (links && links->hasObserver(observer)))
        return;
    links = Links::grow(links);
    links->appendObserver(observer);
    if (auto* object = dynamic_cast<Object*>(observer))
    {
        object->links = Links::grow(object->links);
        object->links->appendSubject(this);
    }
}

void Object::removeObserver(IObserver* observer)
{
    if (!links || !links->removeObserver(observer))
        return;
    links = Links::shrink(links);
    if (auto* object = dynamic_cast<Object*>(observer); object && object->links)
    {
        object->links->removeSubject(this);
        object->links = Links::shrink(object->links);
    }
}

void Object::signal(const Message& msg)
{
    if (!links || links->countObservers() == 0)
        return;
    // An observer may release this object, or add and remove observers, while it is called.
    // (Not while the object is being destroyed: its count is already 0 then.)
    SharedPtr<Object> keepAlive(getRetainCount() > 0 ? this : nullptr);
    const ObserverSnapshot snapshot(links->countObservers(),
                                    [this](uint32_t i) { return links->observerAt(i); });
    const uint64_t removals = removalsSoFar();
    for (uint32_t i = 0; i < snapshot.size(); ++i)
    {
        IObserver* observer = snapshot[i];
        if (!links || (removalsSoFar() != removals && !links->hasObserver(observer)))
            continue;
        observer->notify(this, msg);
    }
}

void Object::deferMessage(const Message& msg, int64_t delayMs)
{
    GetSignalHandler()->post(this, msg, delayMs);
}

void Object::deferSignal(const Message& msg)
{
    DeferredSignal* deferred = new DeferredSignal(this);
    GetSignalHandler()->post(deferred, msg, 0);
    deferred->release();
}

} // namespace Tessel
