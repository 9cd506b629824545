#include "tessel_qt/ListModelAdapter.h"

#include <algorithm>

#include "tessel/Component.h"
#include "tessel/IListModel.h"
#include "tessel_qt/SkinAddress.h"
#include "tessel_qt/VariantConversion.h"

namespace Tessel::Qt
{

ListModelAdapter::ListModelAdapter(QObject* parent) : QAbstractTableModel(parent) {}

ListModelAdapter::~ListModelAdapter()
{
    link.clear();
}

void ListModelAdapter::setAddress(const QString& address)
{
    if (address == addressText)
        return;
    addressText = address;
    rebind();
}

void ListModelAdapter::rebind()
{
    beginResetModel();
    link.clear();
    model = nullptr;
    Component* component = resolveSkinComponent(addressText.toStdString());
    if (IListModel* found = unknownCast<IListModel>(static_cast<Object*>(component)))
    {
        model = found;
        link.watch(component, [this](const Message& msg) { handle(msg); });
    }
    else if (!addressText.isEmpty())
    {
        qWarning("Unresolved skin address: %s (no list model)", qPrintable(addressText));
    }
    endResetModel();
    Q_EMIT addressChanged();
    Q_EMIT countChanged();
    Q_EMIT focusChanged();
}

void ListModelAdapter::handle(const Message& msg)
{
    if (msg.is(Messages::kChanged))
    {
        beginResetModel();
        endResetModel();
        Q_EMIT countChanged();
        Q_EMIT focusChanged();
        Q_EMIT selectionChanged();
    }
    else if (msg.is("rowChanged"))
    {
        const int row = int(msg.getArg(0).asInt());
        if (row >= 0 && row < rowCount())
            Q_EMIT dataChanged(index(row, 0), index(row, std::max(columnCount() - 1, 0)));
    }
    else if (msg.is("selectionChanged"))
    {
        rolesChangedEverywhere();
        Q_EMIT selectionChanged();
    }
    else if (msg.is("focusChanged"))
    {
        rolesChangedEverywhere();
        Q_EMIT focusChanged();
    }
}

void ListModelAdapter::rolesChangedEverywhere()
{
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, std::max(columnCount() - 1, 0)),
                           {SelectedRole, FocusedRole});
}

QStringList ListModelAdapter::columnTitles() const
{
    QStringList titles;
    for (int i = 0; model && i < model->countColumns(); ++i)
        titles.append(QString::fromStdString(model->getColumnTitle(i)));
    return titles;
}

int ListModelAdapter::focusRow() const
{
    return model ? model->getFocusRow() : -1;
}

void ListModelAdapter::setFocusRow(int row)
{
    if (model)
        model->setFocusRow(row);
}

int ListModelAdapter::rowCount(const QModelIndex& parent) const
{
    return model && !parent.isValid() ? model->countRows() : 0;
}

int ListModelAdapter::columnCount(const QModelIndex& parent) const
{
    // A list without columns still shows one: its rows' first cells.
    return model && !parent.isValid() ? std::max(model->countColumns(), 1) : 0;
}

QVariant ListModelAdapter::data(const QModelIndex& index, int role) const
{
    if (!model || !index.isValid() || index.row() >= model->countRows())
        return {};
    const int row = index.row();
    switch (role)
    {
    case ::Qt::DisplayRole:
        return toQVariant(model->getCell(row, index.column()));
    case SelectedRole:
        return model->isRowSelected(row);
    case FocusedRole:
        return model->getFocusRow() == row;
    case RowRole:
        return row;
    default:
        if (role >= FirstColumnRole && role < FirstColumnRole + model->countColumns())
            return toQVariant(model->getCell(row, role - FirstColumnRole));
        return {};
    }
}

QVariant ListModelAdapter::headerData(int section, ::Qt::Orientation orientation, int role) const
{
    if (!model || orientation != ::Qt::Horizontal || role != ::Qt::DisplayRole || section < 0 ||
        section >= model->countColumns())
        return {};
    return QString::fromStdString(model->getColumnTitle(section));
}

QHash<int, QByteArray> ListModelAdapter::roleNames() const
{
    QHash<int, QByteArray> roles{{::Qt::DisplayRole, "display"},
                                 {SelectedRole, "selected"},
                                 {FocusedRole, "focused"},
                                 {RowRole, "row"}};
    for (int i = 0; model && i < model->countColumns(); ++i)
    {
        const std::string id = model->getColumnId(i);
        if (!id.empty())
            roles.insert(FirstColumnRole + i, QByteArray::fromStdString(id));
    }
    return roles;
}

bool ListModelAdapter::click(int row, int column, int modifiers)
{
    if (!model)
        return false;
    CellClick click;
    if (modifiers & ::Qt::ShiftModifier)
        click.modifiers |= CellClick::kShift;
    if (modifiers & ::Qt::ControlModifier)
        click.modifiers |= CellClick::kControl;
    return model->clickCell(row, column, click);
}

bool ListModelAdapter::open(int row, int column)
{
    return model && model->clickCell(row, column, {CellClick::Kind::kDouble, CellClick::kNone});
}

bool ListModelAdapter::isSelected(int row) const
{
    return model && model->isRowSelected(row);
}

} // namespace Tessel::Qt
