#include "roomdesk/views/ItemListModel.h"

#include <QDebug>

#include "mirror/ItemListModel.h"
#include "tessel/Component.h"
#include "tessel_qt/SkinAddress.h"

namespace Vellaris
{

ItemListModel::ItemListModel(QObject* parent) : QAbstractListModel(parent) {}

ItemListModel::~ItemListModel()
{
    unbind();
}

void ItemListModel::setAddress(const QString& address)
{
    if (address == addressText)
        return;
    addressText = address;
    rebind();
    Q_EMIT addressChanged();
}

void ItemListModel::unbind()
{
    link.clear();
    model = nullptr;
}

void ItemListModel::rebind()
{
    beginResetModel();
    unbind();
    Tessel::Component* found = Tessel::Qt::resolveSkinComponent(addressText.toStdString());
    IItemListModel* list = found ? Tessel::unknownCast<IItemListModel>(found) : nullptr;
    if (list)
    {
        model = list;
        link.watch(found,
                   [this](const Tessel::Message& msg)
                   {
                       // Reload on the next turn of the loop: the model may signal in the middle of adding
                       // an item (before the item has its place in the tree), and several changes in one
                       // turn then cost one reload.
                       if (msg.is(Tessel::Messages::kChanged) && !reloadPending)
                       {
                           reloadPending = true;
                           QMetaObject::invokeMethod(
                               this, [this] { reload(); }, ::Qt::QueuedConnection);
                       }
                   });
    }
    else if (!addressText.isEmpty())
    {
        qWarning().noquote() << "Unresolved skin address:" << addressText << "(no item list there)";
    }
    endResetModel();
    Q_EMIT countChanged();
}

void ItemListModel::reload()
{
    reloadPending = false;
    beginResetModel();
    endResetModel();
    Q_EMIT countChanged();
}

int ItemListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !model ? 0 : model->countRows();
}

QVariant ItemListModel::data(const QModelIndex& index, int role) const
{
    if (!model || !index.isValid() || index.row() >= model->countRows())
        return QVariant();
    switch (role)
    {
    case PathRole:
        return QString::fromStdString(model->getRowPath(index.row()));
    case IconRole:
        return QString::fromStdString(model->getRowIcon(index.row()));
    default:
        return QVariant();
    }
}

QHash<int, QByteArray> ItemListModel::roleNames() const
{
    return {{PathRole, "path"}, {IconRole, "icon"}};
}

bool ItemListModel::click(int row, bool extend)
{
    if (!model)
        return false;
    ItemClickEvent event;
    if (extend)
    {
        event.kind = ItemClickEvent::kClickKindToggle;
        event.modifiers = ItemClickEvent::kModifierExtend;
    }
    return model->clickRow(row, event);
}

int ItemListModel::indexOfPath(const QString& path) const
{
    if (!model)
        return -1;
    std::string wanted = path.toStdString();
    for (int row = 0; row < model->countRows(); ++row)
        if (model->getRowPath(row) == wanted)
            return row;
    return -1;
}

bool ItemListModel::open(int row)
{
    return model && model->openRow(row);
}

bool ItemListModel::canDrag(int row) const
{
    return model && row >= 0 && row < model->countRows() && model->dragRow(row) != nullptr;
}

} // namespace Vellaris
