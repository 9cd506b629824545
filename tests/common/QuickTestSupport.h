#pragma once

// Helpers shared by the tests that load the skin into an offscreen window.

#include <QQuickItem>
#include <QStringList>
#include <QTest>
#include <functional>

namespace QuickTestSupport
{

// Every warning and error Qt printed since the list was last cleared.
inline QStringList& capturedWarnings()
{
    static QStringList warnings;
    return warnings;
}

// Message handler for qInstallMessageHandler: keeps warnings, drops debug and info lines.
inline void captureMessages(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        capturedWarnings().append(text);
}

// The item named `name` at or below `item`, or nullptr.
inline QQuickItem* findBelow(QQuickItem* item, const QString& name)
{
    if (item->objectName() == name)
        return item;
    for (QQuickItem* child : item->childItems())
        if (QQuickItem* found = findBelow(child, name))
            return found;
    return nullptr;
}

// Polls `done` while the event loop runs, for at most `ms`.
inline bool waitFor(const std::function<bool()>& done, int ms = 5000)
{
    for (int waited = 0; waited < ms; waited += 10)
    {
        if (done())
            return true;
        QTest::qWait(10);
    }
    return done();
}

} // namespace QuickTestSupport
