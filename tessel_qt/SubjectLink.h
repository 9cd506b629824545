#pragma once

#include <functional>

#include "tessel/ISubject.h"
#include "tessel/SharedPtr.h"
#include "tessel_qt/ObserverLink.h"

namespace Tessel::Qt
{

// Watches one framework subject on behalf of a Qt object: the subject is retained while watched,
// and every message it signals goes to the handler. clear() (or destruction) stops watching; a
// message already on its way then reaches no one.
class SubjectLink
{
public:
    using Handler = std::function<void(const Message& msg)>;

    SubjectLink() = default;
    ~SubjectLink() { clear(); }
    SubjectLink(const SubjectLink&) = delete;
    SubjectLink& operator=(const SubjectLink&) = delete;

    // Watches `subject` (null: watches nothing), replacing what was watched before.
    void watch(ISubject* subject, Handler handler)
    {
        clear();
        if (!subject)
            return;
        watched = Tessel::retained(subject);
        link = SharedPtr<ObserverLink>::adopt(new ObserverLink(
            [handler = std::move(handler)](ISubject*, const Message& msg) { handler(msg); }));
        subject->addObserver(link.get());
    }

    void clear()
    {
        if (watched && link)
            watched->removeObserver(link.get());
        if (link)
            link->unlink();
        link = nullptr;
        watched = nullptr;
    }

    ISubject* getSubject() const { return watched.get(); }

private:
    SharedPtr<ISubject> watched;
    SharedPtr<ObserverLink> link;
};

} // namespace Tessel::Qt
