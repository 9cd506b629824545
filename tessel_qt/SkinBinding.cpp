#include "tessel_qt/SkinBinding.h"

#include <QDebug>

namespace Tessel::Qt
{

void SkinBinding::setAddress(const QString& address)
{
    if (address == addressText)
        return;
    addressText = address;
    Q_EMIT addressChanged();
    update();
}

void SkinBinding::setBase(const QString& base)
{
    if (base == baseText)
        return;
    baseText = base;
    Q_EMIT addressChanged();
    update();
}

void SkinBinding::componentComplete()
{
    completing = false;
    update();
}

void SkinBinding::update()
{
    if (!completing)
        rebind();
}

void SkinBinding::warnUnresolved() const
{
    qWarning().noquote() << "Unresolved skin address:" << addressText
                         << (baseText.isEmpty() ? QString() : QStringLiteral("(below %1)").arg(baseText));
}

} // namespace Tessel::Qt
