// roomdesk: the desktop application. Makes the Qt application and the framework's Qt platform,
// then hands over to the framework's start-up routine with the application's components.
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QVariantList>
#include <QVariantMap>

#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

#include "app/CommandLine.h"
#include "app/Roomdesk.h"
#include "roomdesk/views/RoomdeskViews.h"
#include "tessel/ApplicationStartup.h"
#include "tessel/Platform.h"
#include "tessel/TextVariables.h"
#include "tessel_qt/QtPlatform.h"
#include "tessel_qt/SceneGraphBackend.h"
#include "tessel_qt/SkinContext.h"

namespace
{

// The menu bar as the skin's menu bar wants it, titles expanded.
QVariantList menusForSkin()
{
    QVariantList menus;
    Tessel::Application* application = Tessel::Application::getApplication();
    if (!application)
        return menus;
    for (const Tessel::Menu& menu : application->getMenuBar().getMenus())
    {
        QVariantList items;
        for (const Tessel::MenuEntry& entry : menu.entries)
        {
            QVariantMap item;
            item[QStringLiteral("separator")] = entry.kind == Tessel::MenuEntry::Kind::Separator;
            item[QStringLiteral("title")] = QString::fromStdString(Tessel::expandTextVariables(entry.title));
            item[QStringLiteral("category")] = QString::fromStdString(entry.category);
            item[QStringLiteral("name")] = QString::fromStdString(entry.name);
            items.append(item);
        }
        QVariantMap map;
        map[QStringLiteral("title")] = QString::fromStdString(Tessel::expandTextVariables(menu.title));
        map[QStringLiteral("items")] = items;
        menus.append(map);
    }
    return menus;
}

// SIGINT and SIGTERM end the event loop like "Quit", so every speaker connection is closed in
// order. The handler only writes a byte to a socket pair; the loop reads it.
int signalSockets[2] = {-1, -1};

void onTerminationSignal(int)
{
    char byte = 1;
    [[maybe_unused]] ssize_t written = ::write(signalSockets[0], &byte, 1);
}

void quitOnTerminationSignals(QObject* parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalSockets) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, parent);
    QObject::connect(notifier, &QSocketNotifier::activated, parent,
                     []
                     {
                         char byte = 0;
                         [[maybe_unused]] ssize_t got = ::read(signalSockets[1], &byte, 1);
                         QCoreApplication::exit(0);
                     });
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

} // namespace

int main(int argc, char** argv)
{
    // The help and the version are answered before Qt starts, so they work without a display.
    const std::vector<std::string> commandLine(argv, argv + argc);
    std::string refusal;
    switch (Vellaris::readCommandLineAction(commandLine, &refusal))
    {
    case Vellaris::CommandLineAction::Refuse:
        std::fputs(refusal.c_str(), stderr);
        return 2;
    case Vellaris::CommandLineAction::PrintHelp:
        std::fputs(Vellaris::commandLineHelp(), stdout);
        return 0;
    case Vellaris::CommandLineAction::PrintVersion:
        std::fputs(Vellaris::commandLineVersion().c_str(), stdout);
        return 0;
    case Vellaris::CommandLineAction::Run:
        break;
    }

    QGuiApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Vellaris"));
    QCoreApplication::setApplicationName(QStringLiteral("roomdesk"));
    // The installed desktop entry and icon carry this name: the desktop shows the running window
    // under the entry it was started from, with its icon (a run from the build tree has none).
    QGuiApplication::setDesktopFileName(QStringLiteral(ROOMDESK_APP_ID));
    QGuiApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(ROOMDESK_APP_ID)));
    // Libraries loaded at run time are also searched in "3rd party" beside the program.
    QCoreApplication::addLibraryPath(QCoreApplication::applicationDirPath() + QStringLiteral("/3rd party"));

    quitOnTerminationSignals(&app);
    // Before the first window: with OpenGL only emulated on the CPU (or none), Qt Quick draws
    // with its software renderer, which repaints the changed region instead of the whole window.
    Tessel::Qt::selectSceneGraphBackend();

    Tessel::setModuleIdentifier(Vellaris::Roomdesk::kIdentifier);
    Tessel::Qt::QtPlatform platform;
    Vellaris::registerRoomdeskViews();
    platform.getEngine();
    platform.getSkinContext()->setMenuSource(&menusForSkin);

    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    std::string executable = QCoreApplication::applicationFilePath().toStdString();
    return Tessel::runApplication(arguments, &Vellaris::Roomdesk::createComponents, executable);
}
