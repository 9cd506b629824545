#include "tessel_qt/SkinContext.h"

#include "tessel/CommandMsg.h"
#include "tessel/Component.h"
#include "tessel/Style.h"
#include "tessel/TextVariables.h"
#include "tessel_qt/StyleAccess.h"
#include "tessel_qt/VariantConversion.h"

namespace Tessel::Qt
{

SkinContext::SkinContext(QObject* parent) : QObject(parent) {}

QString SkinContext::expand(const QString& text) const
{
    return QString::fromStdString(expandTextVariables(text.toStdString()));
}

namespace
{
CommandMsg makeCommand(const QString& category, const QString& name, const QVariantMap& arguments,
                       bool checkOnly)
{
    CommandMsg msg(category.toStdString(), name.toStdString(), checkOnly);
    for (auto it = arguments.begin(); it != arguments.end(); ++it)
        msg.arguments.set(it.key().toStdString(), fromQVariant(it.value()));
    return msg;
}
} // namespace

bool SkinContext::routeCommand(const std::string& category, const std::string& name, bool checkOnly)
{
    return routeCommand(CommandMsg(category, name, checkOnly));
}

bool SkinContext::routeCommand(const CommandMsg& msg)
{
    const std::string& category = msg.category;
    Component* root = getRootComponent();
    if (Component* application = root->findChild("Application"))
    {
        if (application->interpretCommand(msg))
            return true;
    }
    for (int i = 0; i < root->countChildren(); ++i)
    {
        Component* child = root->getChild(i);
        if (child->getName() == "Application" || !child->acceptsCommandCategory(category))
            continue;
        if (child->interpretCommand(msg))
            return true;
    }
    return false;
}

bool SkinContext::invokeCommand(const QString& category, const QString& name, const QVariantMap& arguments)
{
    return routeCommand(makeCommand(category, name, arguments, false));
}

bool SkinContext::isCommandEnabled(const QString& category, const QString& name, const QVariantMap& arguments)
{
    return routeCommand(makeCommand(category, name, arguments, true));
}

double SkinContext::metric(const QString& name, double fallback) const
{
    return Style::get().getMetric(name.toStdString(), fallback);
}

QColor SkinContext::color(const QString& name, const QColor& fallback) const
{
    return styleColor(name.toStdString(), fallback);
}

QFont SkinContext::font(const QString& name) const
{
    return styleFont(name.toStdString());
}

QString SkinContext::image(const QString& name) const
{
    return QString::fromStdString(Style::get().getImage(name.toStdString()));
}

QVariantList SkinContext::menus() const
{
    return menuSource ? menuSource() : QVariantList();
}

void SkinContext::setMenuSource(MenuSource source)
{
    menuSource = std::move(source);
    Q_EMIT menusChanged();
}

} // namespace Tessel::Qt
