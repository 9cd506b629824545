#include "tessel/ListModel.h"

#include <algorithm>

namespace Tessel
{

ListModel::ListModel(const std::string& name) : Component(name) {}

ListModel::~ListModel() = default;

void* ListModel::queryInterface(const UID& iid)
{
    TESSEL_QUERY_INTERFACE(IListModel)
    return Component::queryInterface(iid);
}

void ListModel::addColumn(const std::string& id, const std::string& title)
{
    columns.push_back({id, title});
}

std::string ListModel::getColumnId(int column) const
{
    return column >= 0 && column < countColumns() ? columns[size_t(column)].id : std::string();
}

std::string ListModel::getColumnTitle(int column) const
{
    return column >= 0 && column < countColumns() ? columns[size_t(column)].title : std::string();
}

bool ListModel::setFocusRow(int row)
{
    if (row < -1 || row >= countRows())
        return false;
    if (row != focusRow)
    {
        focusRow = row;
        signal(Message("focusChanged"));
    }
    return true;
}

bool ListModel::isRowSelected(int row) const
{
    return row >= 0 && row < int(selected.size()) && selected[size_t(row)];
}

int ListModel::countSelectedRows() const
{
    return int(std::count(selected.begin(), selected.end(), true));
}

void ListModel::setSelection(std::vector<bool> rows)
{
    rows.resize(size_t(countRows()), false);
    if (rows == selected)
        return;
    selected = std::move(rows);
    signal(Message("selectionChanged"));
}

void ListModel::selectOnly(int row)
{
    std::vector<bool> rows(size_t(countRows()), false);
    if (row >= 0 && row < countRows())
        rows[size_t(row)] = true;
    setSelection(std::move(rows));
}

bool ListModel::clickCell(int row, int column, const CellClick& click)
{
    if (row < 0 || row >= countRows() || column < 0 || column >= std::max(countColumns(), 1))
        return false;
    SharedPtr<Object> keepAlive(this);
    if (click.kind == CellClick::Kind::kDouble)
    {
        selectOnly(row);
        setFocusRow(row);
        cellOpened(row, column);
        return true;
    }
    std::vector<bool> rows = selected;
    rows.resize(size_t(countRows()), false);
    if (click.modifiers & CellClick::kShift)
    {
        const int anchor = focusRow >= 0 ? focusRow : row;
        std::fill(rows.begin(), rows.end(), false);
        for (int i = std::min(anchor, row); i <= std::max(anchor, row); ++i)
            rows[size_t(i)] = true;
    }
    else if (click.modifiers & CellClick::kControl)
    {
        rows[size_t(row)] = !rows[size_t(row)];
    }
    else
    {
        std::fill(rows.begin(), rows.end(), false);
        rows[size_t(row)] = true;
    }
    // The focus stays the anchor of a Shift range.
    if (!(click.modifiers & CellClick::kShift) || focusRow < 0)
        setFocusRow(row);
    setSelection(std::move(rows));
    cellClicked(row, column, click);
    return true;
}

void ListModel::rowsChanged()
{
    const int rows = countRows();
    if (focusRow >= rows)
        focusRow = -1;
    if (int(selected.size()) > rows)
        selected.resize(size_t(rows));
    selected.resize(size_t(rows), false);
    signal(Message(Messages::kChanged));
}

void ListModel::rowChanged(int row)
{
    signal(Message("rowChanged", {Variant(row)}));
}

} // namespace Tessel
