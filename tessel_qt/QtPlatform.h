#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <memory>
#include <string>
#include <vector>

#include "tessel/IAlertService.h"
#include "tessel/ISystem.h"
#include "tessel/IWindowManager.h"
#include "tessel/EventLoopBase.h"
#include "tessel/PlatformBase.h"
#include "tessel/SignalHandler.h"
#include "tessel_qt/QtDescriptorWatcher.h"

class QQmlApplicationEngine;
class QLocalServer;
class QWindow;

namespace Tessel::Qt
{

class SkinContext;

// The platform of the product, on Qt Quick. Make the QGuiApplication first, then this object
// (which installs itself), then run the framework's start-up routine.
//
// - Event loop: QGuiApplication::exec. Idle tasks run from a timer every kIdlePeriodMs; posted
//   messages run from a single-shot timer armed for the earliest due message (posts from other
//   threads wake the loop through a queued call).
// - Windows: skin forms are QML files "<form>.qml" below the skin URL (default "qrc:/skin/"),
//   loaded into one QML engine that knows the types of QmlBridge.h.
// - Single instance: the first instance listens on a local socket named after the module
//   identifier; bringToFront() from a second instance asks it to raise its main window.
// - The system's suspend and resume (Qt's application state, and on a Linux desktop logind's
//   sleep signal, SleepMonitor.h) reach the application component as "appSuspended" and
//   "appResumed", once each (SystemPower).
class QtPlatform : public QObject,
                   public PlatformBase,
                   private EventLoopBase,
                   private IWindowManager,
                   private ISystem,
                   private IAlertService
{
    Q_OBJECT
public:
    // An idle turn every 10 ms: meters at 50 Hz and keep-alives every 1.5 s need no finer grain,
    // and the network library also wakes the loop through its own processing.
    static constexpr int kIdlePeriodMs = 10;

    explicit QtPlatform(QObject* parent = nullptr);
    ~QtPlatform() override;

    // Where the skin forms live ("qrc:/skin/" by default; tests use the source folder).
    void setSkinUrl(const QUrl& url) { skinUrl = url; }
    QQmlApplicationEngine* getEngine();
    // The skin's "Skin" singleton (makes the engine when needed).
    SkinContext* getSkinContext()
    {
        getEngine();
        return skin;
    }
    // The window of an open form, or nullptr.
    QWindow* findForm(const QString& formName) const;

    // IPlatform.
    IGUI* getGUI() override { return this; }
    ISignalHandler* getSignalHandler() override { return &signalHandler; }
    IWindowManager* getWindowManager() override { return this; }
    ISystem* getSystem() override { return this; }
    IAlertService* getAlertService() override { return this; }
    IDescriptorWatcher* getDescriptorWatcher() override { return &descriptorWatcher; }

private:
    // IGUI.
    bool initialize(const std::vector<std::string>& arguments, IApplicationStartup* startup) override;
    int runEventLoop() override;
    void quit(int exitCode) override;
    // IWindowManager.
    bool openWindow(const std::string& formName, IUnknown* controller, bool show) override;
    bool bringToFront(const std::string& applicationId, bool activate) override;
    // ISystem.
    std::string getLocation(const std::string& kind) const override;
    void getComputerInfo(Attributes& info) const override;
    std::string getComputerName() const override;
    // IAlertService.
    void showAlert(const std::string& text) override;

    void runPostedMessages();
    void armPostedTimer();
    void listenForSecondInstances();
    void raiseMainWindow();
    void onApplicationStateChanged(int state);

    SignalHandler signalHandler;
    QTimer idleTimer;
    QTimer postedTimer;
    QtDescriptorWatcher descriptorWatcher;
    QUrl skinUrl{QStringLiteral("qrc:/skin/")};
    std::unique_ptr<QQmlApplicationEngine> engine;
    SkinContext* skin = nullptr;
    QLocalServer* instanceServer = nullptr;
    IApplicationStartup* startupObject = nullptr;
};

// The local-socket name on which the running instance of `applicationId` listens.
QString singleInstanceSocketName(const std::string& applicationId);

} // namespace Tessel::Qt
