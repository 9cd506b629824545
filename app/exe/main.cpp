// roomdesk: the desktop application. Makes the Qt application and the framework's Qt platform,
// then hands over to the framework's start-up routine with the application's components.
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QVariantList>
#include <QVariantMap>

#include <string>
#include <vector>

#include "app/ApplicationStartup.h"
#include "app/Roomdesk.h"
#include "tessel/Platform.h"
#include "tessel/TextVariables.h"
#include "tessel/qt/QtPlatform.h"
#include "tessel/qt/SkinContext.h"

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

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Vellaris"));
    QCoreApplication::setApplicationName(QStringLiteral("roomdesk"));
    // Libraries loaded at run time are also searched in "3rd party" beside the program.
    QCoreApplication::addLibraryPath(QCoreApplication::applicationDirPath() + QStringLiteral("/3rd party"));

    Tessel::setModuleIdentifier(Vellaris::Roomdesk::kIdentifier);
    Tessel::Qt::QtPlatform platform;
    platform.getEngine();
    platform.getSkinContext()->setMenuSource(&menusForSkin);

    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    std::string executable = QCoreApplication::applicationFilePath().toStdString();
    return Tessel::runApplication(arguments, &Vellaris::Roomdesk::createComponents, executable);
}
