#pragma once

#include <functional>
#include <string>

#include "tessel/Object.h"
#include "tessel/SharedPtr.h"
#include "tessel_qt/SubjectLink.h"

namespace Tessel
{
class Attributes;
}

namespace Tessel::Qt
{

// One named view of a component, for a Qt item: finds the component by skin address, asks its
// view factory (IViewFactory) for the view, holds it and passes every message the view signals
// to a handler. The item then reads the view through its properties and the interfaces it answers;
// it never needs the component's class. clear() (or destruction) lets the view go.
class ViewLink
{
public:
    using Handler = std::function<void(const Message& msg)>;

    ViewLink() = default;
    ~ViewLink() { clear(); }
    ViewLink(const ViewLink&) = delete;
    ViewLink& operator=(const ViewLink&) = delete;

    // Lets the old view go and makes `viewName` of the component at `address` (absolute skin
    // address or bare component path). Returns false, holding no view, when the address does not
    // resolve, the component makes no views or not this one.
    bool bind(const std::string& address, const std::string& viewName, Handler handler);
    bool bind(const std::string& address, const std::string& viewName, const Attributes& arguments,
              Handler handler);
    void clear();

    bool isBound() const { return view.get() != nullptr; }
    // The view (borrowed), or nullptr.
    Object* getView() const { return view.get(); }
    // The view's interface I, or nullptr.
    template <class I> I* getInterface() const { return unknownCast<I>(static_cast<IUnknown*>(view.get())); }
    // The view's property `name`, or an empty variant.
    Variant read(const std::string& name) const;

private:
    SharedPtr<Object> view;
    SubjectLink link;
};

} // namespace Tessel::Qt
