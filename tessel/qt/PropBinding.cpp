#include "tessel/qt/PropBinding.h"

#include <QDebug>

#include "tessel/Component.h"
#include "tessel/qt/SkinAddress.h"
#include "tessel/qt/VariantConversion.h"

namespace Tessel::Qt
{

PropBinding::PropBinding(QObject* parent) : QObject(parent) {}

PropBinding::~PropBinding()
{
    unbind();
}

void PropBinding::setAddress(const QString& address)
{
    if (address == addressText)
        return;
    addressText = address;
    Q_EMIT addressChanged();
    rebind();
}

void PropBinding::setBase(const QString& base)
{
    if (base == baseText)
        return;
    baseText = base;
    Q_EMIT addressChanged();
    rebind();
}

void PropBinding::unbind()
{
    link.clear();
    component = nullptr;
}

void PropBinding::rebind()
{
    if (completing)
        return;
    unbind();
    cached = QVariant();
    if (addressText.isEmpty())
    {
        Q_EMIT changed();
        return;
    }
    SkinTarget target = resolveSkinAddress(addressText.toStdString(), baseText.toStdString());
    if (!target.resolved() || !target.isProperty)
    {
        qWarning().noquote() << "Unresolved skin address:" << addressText
                             << (baseText.isEmpty() ? QString() : QStringLiteral("(below %1)").arg(baseText));
        Q_EMIT changed();
        return;
    }
    component = target.component;
    propertyName = target.name;
    link.watch(component.get(), [this](const Message& msg) {
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
