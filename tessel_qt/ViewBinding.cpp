#include "tessel_qt/ViewBinding.h"

#include "tessel_qt/VariantConversion.h"

namespace Tessel::Qt
{

void ViewBinding::setComponent(const QString& address)
{
    if (address == componentAddress)
        return;
    componentAddress = address;
    rebind();
}

void ViewBinding::setName(const QString& name)
{
    if (name == viewName)
        return;
    viewName = name;
    rebind();
}

void ViewBinding::rebind()
{
    link.bind(componentAddress.toStdString(), viewName.toStdString(),
              [this](const Message& msg)
              {
                  if (!msg.is(Messages::kChanged))
                      return;
                  ++changes;
                  Q_EMIT changed();
              });
    Q_EMIT bindingChanged();
    Q_EMIT changed();
}

QVariant ViewBinding::read(const QString& property) const
{
    return toQVariant(link.read(property.toStdString()));
}

} // namespace Tessel::Qt
