#include "tessel/qt/SkinContext.h"

#include "tessel/CommandMsg.h"
#include "tessel/Component.h"
#include "tessel/TextVariables.h"

namespace Tessel::Qt
{

SkinContext::SkinContext(QObject* parent) : QObject(parent) {}

QString SkinContext::expand(const QString& text) const
{
    return QString::fromStdString(expandTextVariables(text.toStdString()));
}

bool SkinContext::routeCommand(const std::string& category, const std::string& name, bool checkOnly)
{
    CommandMsg msg(category, name, checkOnly);
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

bool SkinContext::invokeCommand(const QString& category, const QString& name)
{
    return routeCommand(category.toStdString(), name.toStdString(), false);
}

bool SkinContext::isCommandEnabled(const QString& category, const QString& name)
{
    return routeCommand(category.toStdString(), name.toStdString(), true);
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
