#pragma once

#include <string>
#include <vector>

#include "tessel/IObject.h"
#include "tessel/IObserver.h"
#include "tessel/ISubject.h"
#include "tessel/Message.h"
#include "tessel/MetaClass.h"
#include "tessel/Unknown.h"
#include "tessel/Variant.h"

namespace Tessel
{

// The base of every framework and application class: reference counted (count starts at 1), with
// a meta class, an observer list (ISubject), a message receiver (IObserver) and named properties
// and methods (IObject). Used on the GUI thread only, except retain/release.
class Object : public Unknown, public ISubject, public IObserver, public IObject
{
public:
    static constexpr UID kIID{0x7E55E100, 0x0006, 0x4000, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x06};
    static const MetaClass metaClass;
    // The meta class of the object's most derived class (see TESSEL_DECLARE_CLASS).
    virtual const MetaClass& getMetaClass() const { return metaClass; }
    // True when the object's class is `other` or derives from it.
    bool isKindOf(const MetaClass& other) const { return getMetaClass().isKindOf(other); }
    // Name of the object's class.
    const char* getClassName() const { return getMetaClass().getName(); }

    Object() = default;

    // IUnknown: answers Object, IUnknown, ISubject, IObserver and IObject.
    void* queryInterface(const UID& iid) override;
    // Unknown's count; listed again so the interfaces' virtual base resolves to one implementation.
    int retain() override { return Unknown::retain(); }
    int release() override { return Unknown::release(); }

    // ISubject: the observer list is kept in the object itself. An observer that is itself an
    // Object leaves every list it is in when it is destroyed, so a subject never calls an observer
    // that is gone. When the subject is destroyed, its observers get "destroyed" (kDestroyed) with
    // the subject as sender; by then only the subject's address may be used (compare, forget).
    void addObserver(IObserver* observer) override;
    void removeObserver(IObserver* observer) override;
    // Delivers to a snapshot of the observers, skipping any removed meanwhile. The object keeps a
    // reference to itself during the delivery, so an observer may release it safely.
    void signal(const Message& msg) override;
    // Number of observers, for tests and diagnostics.
    int countObservers() const;

    // IObserver: the base ignores every message.
    void notify(ISubject* subject, const Message& msg) override {}

    // IObject: the base has no properties and no methods.
    bool getProperty(const std::string& name, Variant& value) const override { return false; }
    bool setProperty(const std::string& name, const Variant& value) override { return false; }
    bool invokeMethod(Variant& result, const Message& msg) override { return false; }

    // Posts `msg` to this object through the signal handler, to be delivered on the GUI thread
    // after `delayMs` milliseconds (0: the next turn of the event loop). The pending message holds
    // a reference to this object until it is delivered.
    void deferMessage(const Message& msg, int64_t delayMs = 0);
    // Signals `msg` to the observers on a later turn instead of at once.
    void deferSignal(const Message& msg);

protected:
    ~Object() override;

private:
    class Links;
    // The observers of this object and the subjects whose lists hold it as an observer, in one
    // block made on first use and freed when both are empty: most objects (the parameters of a
    // mirrored speaker, say) are never observed, and then cost one pointer here.
    Links* links = nullptr;
};

// Casts `object` to class T when it is of that class or derives from it (meta class check), else
// nullptr. T must declare its meta class.
template <class T> T* classCast(Object* object)
{
    return object && object->isKindOf(T::metaClass) ? static_cast<T*>(object) : nullptr;
}

} // namespace Tessel
