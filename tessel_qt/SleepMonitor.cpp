#include "tessel_qt/SleepMonitor.h"

#include <QDBusConnection>

#include "tessel/SystemPower.h"

namespace Tessel::Qt
{

SleepMonitor::SleepMonitor(QObject* parent) : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return;
    listening =
        bus.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                    QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
                    SLOT(prepareForSleep(bool)));
}

void SleepMonitor::prepareForSleep(bool sleeping)
{
    if (sleeping)
        SystemPower::get().willSleep();
    else
        SystemPower::get().didWake();
}

} // namespace Tessel::Qt
