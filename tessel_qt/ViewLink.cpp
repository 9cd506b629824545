#include "tessel_qt/ViewLink.h"

#include "tessel/Attributes.h"
#include "tessel/Component.h"
#include "tessel/IViewFactory.h"
#include "tessel_qt/SkinAddress.h"

namespace Tessel::Qt
{

bool ViewLink::bind(const std::string& address, const std::string& viewName, Handler handler)
{
    return bind(address, viewName, Attributes(), std::move(handler));
}

bool ViewLink::bind(const std::string& address, const std::string& viewName, const Attributes& arguments,
                    Handler handler)
{
    clear();
    Component* component = address.empty() ? nullptr : resolveSkinComponent(address);
    IViewFactory* factory = unknownCast<IViewFactory>(static_cast<Object*>(component));
    if (!factory)
        return false;
    view = SharedPtr<Object>::adopt(factory->createView(viewName, arguments));
    if (!view)
        return false;
    link.watch(view.get(), std::move(handler));
    return true;
}

void ViewLink::clear()
{
    link.clear();
    view = nullptr;
}

Variant ViewLink::read(const std::string& name) const
{
    Variant value;
    if (view)
        view->getProperty(name, value);
    return value;
}

} // namespace Tessel::Qt
