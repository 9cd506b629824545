#include "tessel_qt/PropBinding.h"

#include "tessel/Component.h"
#include "tessel_qt/SkinAddress.h"
#include "tessel_qt/VariantConversion.h"

namespace Tessel::Qt
{

PropBinding::PropBinding(QObject* parent) : SkinBinding(parent) {}

PropBinding::~PropBinding()
{
    unbind();
}

void PropBinding::unbind()
{
    link.clear();
    component = nullptr;
}

void PropBinding::rebind()
{
    unbind();
    cached = QVariant();
    if (address().isEmpty())
    {
        Q_EMIT changed();
        return;
    }
    SkinTarget target = resolveSkinAddress(address().toStdString(), base().toStdString());
    if (!target.resolved() || !target.isProperty)
    {
        warnUnresolved();
        Q_EMIT changed();
        return;
    }
    component = Tessel::retained(target.component);
    propertyName = target.name;
    link.watch(component.get(),
               [this](const Message& msg)
               {
                   if (!msg.is(Messages::kPropertyChanged))
                       return;
                   const Variant& which = msg.getArg(0);
                   if (which.isEmpty() || which.asString() == propertyName)
                       refresh();
               });
    refresh();
}

void PropBinding::refresh()
{
    Variant value;
    if (component)
        component->getProperty(propertyName, value);
    QVariant next = toQVariant(value);
    if (next == cached && next.isValid())
        return;
    cached = next;
    Q_EMIT changed();
}

} // namespace Tessel::Qt
