#include "tessel_qt/QtPlatform.h"

#include <QCoreApplication>
#include <QDebug>
#include <QGuiApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQuickWindow>
#include <QStandardPaths>
#include <QSysInfo>

#include <cstdio>

#include "tessel/Attributes.h"
#include "tessel/Component.h"
#include "tessel/IApplicationStartup.h"
#include "tessel/ITimerTask.h"
#include "tessel/Platform.h"
#include "tessel/SystemPower.h"
#include "tessel_qt/QmlBridge.h"
#include "tessel_qt/SkinContext.h"
#include "tessel_qt/SleepMonitor.h"

namespace Tessel::Qt
{

namespace
{
// Formats the machine id (32 hex digits) as a braces identifier text.
std::string braceIdentifier(const QByteArray& id)
{
    QByteArray hex = id.left(32).toUpper();
    if (hex.size() != 32)
        return "{00000000-0000-0000-0000-000000000000}";
    return QStringLiteral("{%1-%2-%3-%4-%5}")
        .arg(QString::fromLatin1(hex.mid(0, 8)), QString::fromLatin1(hex.mid(8, 4)),
             QString::fromLatin1(hex.mid(12, 4)), QString::fromLatin1(hex.mid(16, 4)),
             QString::fromLatin1(hex.mid(20, 12)))
        .toStdString();
}
} // namespace

QString singleInstanceSocketName(const std::string& applicationId)
{
    // Local sockets live in a per-machine name space: add the user so two users never meet.
    QString user = qEnvironmentVariable("USER", QStringLiteral("user"));
    return QStringLiteral("tessel-%1-%2").arg(QString::fromStdString(applicationId), user);
}

QtPlatform::QtPlatform(QObject* parent) : QObject(parent), signalHandler([this] { return getSystemTicks(); })
{
    setPlatform(this);
    idleTimer.setInterval(kIdlePeriodMs);
    QObject::connect(&idleTimer, &QTimer::timeout, this, [this] { idleTasks.tickAll(); });
    postedTimer.setSingleShot(true);
    QObject::connect(&postedTimer, &QTimer::timeout, this, [this] { runPostedMessages(); });
    // Posts may come from any thread: re-arm the timer on the GUI thread.
    signalHandler.getQueue().setWakeFunction(
        [this](int64_t)
        {
            QMetaObject::invokeMethod(
                this, [this] { armPostedTimer(); }, ::Qt::QueuedConnection);
        });
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QObject::connect(app, &QGuiApplication::applicationStateChanged, this,
                         [this](::Qt::ApplicationState state) { onApplicationStateChanged(int(state)); });
    // Desktop Qt reports no suspension: the system's own sleep signal does.
    new SleepMonitor(this);
}

QtPlatform::~QtPlatform()
{
    signalHandler.getQueue().setWakeFunction(nullptr);
    signalHandler.getQueue().clear();
    engine.reset();
    if (&getPlatform() == this)
        setPlatform(nullptr);
}

QQmlApplicationEngine* QtPlatform::getEngine()
{
    if (!engine)
    {
        registerQmlTypes();
        engine = std::make_unique<QQmlApplicationEngine>();
        skin = Tessel::Qt::getSkinContext(engine.get());
    }
    return engine.get();
}

bool QtPlatform::initialize(const std::vector<std::string>& args, IApplicationStartup* startup)
{
    arguments = args;
    startupObject = startup;
    return QCoreApplication::instance() != nullptr;
}

int QtPlatform::runEventLoop()
{
    listenForSecondInstances();
    idleTimer.start();
    armPostedTimer();
    int exitCode = 1;
    if (!startupObject || startupObject->startupApplication())
        exitCode = QCoreApplication::exec();
    idleTimer.stop();
    if (startupObject)
        startupObject->shutdownApplication();
    // Messages still pending hold their targets; deliver nothing more, release them now.
    signalHandler.getQueue().clear();
    return exitCode;
}

void QtPlatform::quit(int exitCode)
{
    QCoreApplication::exit(exitCode);
}

void QtPlatform::runPostedMessages()
{
    signalHandler.getQueue().runDue(getSystemTicks());
    armPostedTimer();
}

void QtPlatform::armPostedTimer()
{
    std::optional<int64_t> due = signalHandler.getQueue().nextDueTick();
    if (!due)
    {
        postedTimer.stop();
        return;
    }
    int64_t wait = *due - getSystemTicks();
    postedTimer.start(int(std::clamp<int64_t>(wait, 0, 24 * 3600 * 1000)));
}

QWindow* QtPlatform::findForm(const QString& formName) const
{
    if (!engine)
        return nullptr;
    for (QObject* object : engine->rootObjects())
    {
        if (object->property("tesselForm").toString() == formName)
            return qobject_cast<QWindow*>(object);
    }
    return nullptr;
}

bool QtPlatform::openWindow(const std::string& formName, IUnknown* controller, bool show)
{
    QString form = QString::fromStdString(formName);
    if (QWindow* window = findForm(form))
    {
        if (show)
        {
            window->show();
            window->raise();
            window->requestActivate();
        }
        return true;
    }
    QQmlApplicationEngine* qml = getEngine();
    int before = qml->rootObjects().size();
    qml->load(skinUrl.resolved(QUrl(form + QStringLiteral(".qml"))));
    if (qml->rootObjects().size() <= before)
        return false;
    QObject* root = qml->rootObjects().last();
    root->setProperty("tesselForm", form);
    if (auto* window = qobject_cast<QWindow*>(root))
    {
        if (show)
            window->show();
    }
    return true;
}

bool QtPlatform::bringToFront(const std::string& applicationId, bool activate)
{
    QLocalSocket socket;
    socket.connectToServer(singleInstanceSocketName(applicationId));
    if (!socket.waitForConnected(1000))
        return false;
    socket.write(activate ? "raise\n" : "show\n");
    socket.flush();
    socket.waitForBytesWritten(1000);
    socket.disconnectFromServer();
    return true;
}

void QtPlatform::listenForSecondInstances()
{
    if (instanceServer)
        return;
    instanceServer = new QLocalServer(this);
    QString name = singleInstanceSocketName(GetModuleIdentifier());
    // The lock guarding single instance is already ours: a socket left by a crashed run is stale.
    QLocalServer::removeServer(name);
    if (!instanceServer->listen(name))
        return;
    QObject::connect(instanceServer, &QLocalServer::newConnection, this,
                     [this]
                     {
                         while (QLocalSocket* socket = instanceServer->nextPendingConnection())
                         {
                             QObject::connect(socket, &QLocalSocket::readyRead, this,
                                              [this, socket]
                                              {
                                                  socket->readAll();
                                                  raiseMainWindow();
                                              });
                             QObject::connect(socket, &QLocalSocket::disconnected, socket,
                                              &QObject::deleteLater);
                         }
                     });
}

void QtPlatform::raiseMainWindow()
{
    if (QWindow* window = findForm(QStringLiteral("ApplicationWindow")))
    {
        window->showNormal();
        window->raise();
        window->requestActivate();
    }
}

void QtPlatform::onApplicationStateChanged(int state)
{
    if (state == ::Qt::ApplicationSuspended)
        SystemPower::get().willSleep();
    else if (state == ::Qt::ApplicationActive)
        SystemPower::get().didWake();
}

std::string QtPlatform::getLocation(const std::string& kind) const
{
    QString path;
    if (kind == Location::kSupport)
        path = QCoreApplication::applicationDirPath();
    else if (kind == Location::kDocuments)
        path = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    else if (kind == Location::kSettings)
        path = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    else if (kind == Location::kTemp)
        path = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path.toStdString();
}

void QtPlatform::getComputerInfo(Attributes& info) const
{
    info.set("deviceModel", Variant(QSysInfo::prettyProductName().toStdString()));
    info.set("deviceIdentifier", Variant(braceIdentifier(QSysInfo::machineUniqueId())));
}

std::string QtPlatform::getComputerName() const
{
    return QSysInfo::machineHostName().toStdString();
}

void QtPlatform::showAlert(const std::string& text)
{
    std::fprintf(stderr, "%s\n", text.c_str());
    QQmlApplicationEngine* qml = getEngine();
    // A small window of its own with the text and OK (Enter and Escape close it too). Imports the
    // engine has not loaded yet arrive later, so the window is made once the form is ready.
    auto* component = new QQmlComponent(qml, qml);
    const QString shown = QString::fromStdString(text);
    auto make = [component, shown, qml]
    {
        if (component->isLoading())
            return;
        if (QObject* window = component->isReady() ? component->create() : nullptr)
        {
            window->setProperty("text", shown);
            QObject::connect(qml, &QObject::destroyed, window, &QObject::deleteLater);
        }
        else
        {
            std::fprintf(stderr, "The alert window cannot be shown: %s\n",
                         qPrintable(component->errorString()));
        }
        component->deleteLater();
    };
    component->setData(
        "import QtQuick\n"
        "Window { id: alert; property alias text: label.text; width: 380; height: 140;"
        " visible: true; color: '#212328'; title: 'Alert'; flags: Qt.Dialog\n"
        // Centred even without a window manager to place it.
        " x: Math.max(0, (Screen.width - width) / 2); y: Math.max(0, (Screen.height - height) / 3)\n"
        " Item { anchors.fill: parent; focus: true; Keys.onEscapePressed: alert.close();"
        " Keys.onReturnPressed: alert.close(); Keys.onEnterPressed: alert.close() }\n"
        " Text { id: label; anchors.fill: parent; anchors.margins: 16; anchors.bottomMargin: 52;"
        " color: '#e6e6e6'; wrapMode: Text.WordWrap; font.pixelSize: 13 }\n"
        " Rectangle { objectName: 'alertOk'; width: 64; height: 28; radius: 3; color: '#2b2e34';"
        " border.color: '#3fa9f5'; anchors.right: parent.right; anchors.bottom: parent.bottom;"
        " anchors.margins: 12\n"
        "  Text { anchors.centerIn: parent; text: 'OK'; color: '#e6e6e6'; font.pixelSize: 11;"
        " font.bold: true }\n"
        "  MouseArea { anchors.fill: parent; onClicked: alert.close() } } }",
        QUrl(QStringLiteral("memory:/Alert.qml")));
    if (component->isLoading())
        QObject::connect(component, &QQmlComponent::statusChanged, component, make);
    else
        make();
}

} // namespace Tessel::Qt
