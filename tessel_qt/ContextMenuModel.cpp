#include "tessel_qt/ContextMenuModel.h"

#include "tessel_qt/SkinAddress.h"
#include "tessel_qt/VariantConversion.h"

namespace Tessel::Qt
{

void ContextMenuModel::setComponent(const QString& address)
{
    if (address == componentAddress)
        return;
    componentAddress = address;
    menu.clear();
    Q_EMIT componentChanged();
    Q_EMIT entriesChanged();
}

QVariantList ContextMenuModel::entries() const
{
    QVariantList list;
    for (const ContextMenu::Entry& entry : menu.getEntries())
        list.append(QVariantMap{{"title", QString::fromStdString(entry.title)},
                                {"enabled", entry.enabled},
                                {"separator", entry.isSeparator()}});
    return list;
}

int ContextMenuModel::collect(const QVariantMap& context)
{
    Attributes where;
    for (auto it = context.begin(); it != context.end(); ++it)
        where.set(it.key().toStdString(), fromQVariant(it.value()));
    Component* target = resolveSkinComponent(componentAddress.toStdString());
    if (target)
        menu.collect(target, where);
    else
        menu.clear();
    Q_EMIT entriesChanged();
    return menu.countEntries();
}

bool ContextMenuModel::trigger(int index)
{
    return menu.select(index);
}

} // namespace Tessel::Qt
