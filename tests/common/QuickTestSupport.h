#pragma once

// Helpers shared by the tests that load the skin into an offscreen window.

#include <QQuickItem>
#include <QStringList>
#include <QTest>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

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

// Makes a private home for a skin test process: a new folder under the temporary folder (named
// `prefix` and the process id) with "Documents", taken as HOME, XDG_DOCUMENTS_DIR and
// XDG_RUNTIME_DIR, the network kept on loopback and the remote control off. Returns its path; the
// caller removes it.
inline std::string usePrivateHome(const std::string& prefix)
{
    const std::string home =
        (std::filesystem::temp_directory_path() / (prefix + std::to_string(::getpid()))).string();
    std::filesystem::create_directories(home + "/Documents");
    std::filesystem::permissions(home, std::filesystem::perms::owner_all);
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_DOCUMENTS_DIR", (home + "/Documents").c_str(), 1);
    // The desk's settings (the window's stored geometry) of this test only.
    ::setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", home.c_str(), 1);
    ::setenv("LKNET_LOOPBACK_ONLY", "1", 1);
    ::setenv("ROOMDESK_OSC_PORT", "0", 1);
    ::setenv("ROOMDESK_WEB_PORT", "0", 1); // the tablet remote stays off: parallel desks never share its port
    return home;
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
