#pragma once

#include <QColor>
#include <QFont>
#include <QObject>
#include <QVariantList>
#include <QVariantMap>

#include <functional>

namespace Tessel
{
struct CommandMsg;
}

namespace Tessel::Qt
{

// QML singleton "Skin" (import Tessel 1.0): what every form needs besides bindings.
//     Skin.expand("About $APPNAME")          text variables
//     Skin.invokeCommand("Help", "About")    commands, as menus send them
//     Skin.menus                             the menu bar: [{title, items: [{title, category,
//                                            name, separator}]}]
//     Skin.metric("gridX", 24), Skin.color("accent"), Skin.font("textfont"), Skin.image("wifiLock")
//                                            the style table
class SkinContext : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QVariantList menus READ menus NOTIFY menusChanged)

public:
    // Gives the menu bar as QML values; the application sets it once its menus are built.
    using MenuSource = std::function<QVariantList()>;

    explicit SkinContext(QObject* parent = nullptr);

    Q_INVOKABLE QString expand(const QString& text) const;
    // Sends the command to the application component, then to the other components below the root
    // that accept its category; true when one handled it. `arguments` go with the command
    // ({closeRoom: id}); numbers and texts only.
    Q_INVOKABLE bool invokeCommand(const QString& category, const QString& name,
                                   const QVariantMap& arguments = {});
    // Whether a component would handle the command (check only; changes nothing).
    Q_INVOKABLE bool isCommandEnabled(const QString& category, const QString& name,
                                      const QVariantMap& arguments = {});

    // The style table (tessel/Style.h) by name, with the caller's fallback for a missing name.
    Q_INVOKABLE double metric(const QString& name, double fallback = 0) const;
    Q_INVOKABLE QColor color(const QString& name, const QColor& fallback = QColor()) const;
    Q_INVOKABLE QFont font(const QString& name) const;
    // The image's URL, or "" when the style has none of that name.
    Q_INVOKABLE QString image(const QString& name) const;

    QVariantList menus() const;
    void setMenuSource(MenuSource source);

    // Routes a command through the component tree as described at invokeCommand.
    static bool routeCommand(const std::string& category, const std::string& name, bool checkOnly);
    static bool routeCommand(const CommandMsg& msg);

Q_SIGNALS:
    void menusChanged();

private:
    MenuSource menuSource;
};

} // namespace Tessel::Qt
