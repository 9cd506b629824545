#include "tessel/Object.h"

#include <algorithm>

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

Object::~Object()
{
    for (Object* subject : std::vector<Object*>(observed))
    {
        auto& list = subject->observers;
        list.erase(std::remove(list.begin(), list.end(), static_cast<IObserver*>(this)), list.end());
    }
    observed.clear();
    if (observers.empty())
        return;
    const std::vector<IObserver*> snapshot = observers;
    const Message destroyed(Messages::kDestroyed);
    for (IObserver* observer : snapshot)
    {
        if (std::find(observers.begin(), observers.end(), observer) == observers.end())
            continue;
        observer->notify(this, destroyed);
    }
    for (IObserver* observer : observers)
        if (auto* object = dynamic_cast<Object*>(observer))
            object->observed.erase(std::remove(object->observed.begin(), object->observed.end(), this),
                                   object->observed.end());
    observers.clear();
}

void* Object::queryInterface(const UID& iid)
{
    TESSEL_QUERY_INTERFACE(Object)
    TESSEL_QUERY_INTERFACE(ISubject)
    TESSEL_QUERY_INTERFACE(IObserver)
    TESSEL_QUERY_INTERFACE(IObject)
    return Unknown::queryInterface(iid);
}

void Object::addObserver(IObserver* observer)
{
    if (!observer || std::find(observers.begin(), observers.end(), observer) != observers.end())
        return;
    observers.push_back(observer);
    if (auto* object = dynamic_cast<Object*>(observer))
        object->observed.push_back(this);
}

void Object::removeObserver(IObserver* observer)
{
    auto it = std::find(observers.begin(), observers.end(), observer);
    if (it == observers.end())
        return;
    observers.erase(it);
    if (auto* object = dynamic_cast<Object*>(observer))
    {
        auto at = std::find(object->observed.begin(), object->observed.end(), this);
        if (at != object->observed.end())
            object->observed.erase(at);
    }
}

void Object::signal(const Message& msg)
{
    if (observers.empty())
        return;
    // An observer may release this object, or add and remove observers, while it is called.
    // (Not while the object is being destroyed: its count is already 0 then.)
    SharedPtr<Object> keepAlive(getRetainCount() > 0 ? this : nullptr);
    const std::vector<IObserver*> snapshot = observers;
    for (IObserver* observer : snapshot)
    {
        if (std::find(observers.begin(), observers.end(), observer) == observers.end())
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
