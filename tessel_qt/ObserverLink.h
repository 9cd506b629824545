#pragma once

#include <functional>

#include "tessel/Object.h"

namespace Tessel::Qt
{

// A small framework observer that forwards every message it receives to a function. Qt objects
// hold one (by reference) to watch framework subjects without deriving from Tessel::Object.
// Call unlink() before the owner goes: the link may outlive its owner while a posted message
// still holds it.
class ObserverLink : public Object
{
public:
    using Function = std::function<void(ISubject* subject, const Message& msg)>;

    explicit ObserverLink(Function function) : function(std::move(function)) {}

    void notify(ISubject* subject, const Message& msg) override
    {
        if (function)
            function(subject, msg);
    }
    void unlink() { function = nullptr; }

protected:
    ~ObserverLink() override = default;

private:
    Function function;
};

} // namespace Tessel::Qt
