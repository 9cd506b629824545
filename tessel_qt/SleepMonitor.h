#pragma once

#include <QObject>

namespace Tessel::Qt
{

// Hears the computer's sleep and wake on a Linux desktop, where Qt never reports an application
// state of "suspended": logind's PrepareForSleep(bool) signal on the system D-Bus
// (org.freedesktop.login1.Manager), true before the sleep and false after the wake, goes to
// SystemPower, which tells the application ("appSuspended", "appResumed"). Without a system bus,
// or without logind, the monitor quietly hears nothing.
class SleepMonitor : public QObject
{
    Q_OBJECT
public:
    explicit SleepMonitor(QObject* parent = nullptr);

    // Whether the monitor listens on a system bus.
    bool isListening() const { return listening; }

public Q_SLOTS:
    // The signal's handler: `sleeping` true before the computer sleeps, false after it woke.
    void prepareForSleep(bool sleeping);

private:
    bool listening = false;
};

} // namespace Tessel::Qt
