#pragma once

#include <string>
#include <vector>

#include "tessel/Component.h"
#include "tessel/IListModel.h"

namespace Tessel
{

// A component that is a list model: it keeps the columns, the focus and the selection, so that a
// concrete list only gives its rows (countRows, getCell) and acts on opened or clicked cells.
// Selection rules of a click: a plain click selects only its row, Control adds or removes the row,
// Shift selects every row from the focus row to the clicked one; each click moves the focus to
// its row. A double click selects its row and then calls cellOpened. The model forgets focus and
// selection of rows that are gone when it is told rowsChanged().
class ListModel : public Component, public IListModel
{
public:
    explicit ListModel(const std::string& name = {});

    void* queryInterface(const UID& iid) override;
    int retain() override { return Component::retain(); }
    int release() override { return Component::release(); }

    // Appends a column.
    void addColumn(const std::string& id, const std::string& title);

    // IListModel.
    int countColumns() const override { return int(columns.size()); }
    std::string getColumnId(int column) const override;
    std::string getColumnTitle(int column) const override;
    int getFocusRow() const override { return focusRow; }
    bool setFocusRow(int row) override;
    bool isRowSelected(int row) const override;
    int countSelectedRows() const override;
    bool clickCell(int row, int column, const CellClick& click) override;

    // Selects only `row` (−1: nothing) without a click.
    void selectOnly(int row);

    // Call after the rows changed: drops focus and selection past the end and signals "changed".
    void rowsChanged();
    // Call after the cells of `row` changed: signals "rowChanged".
    void rowChanged(int row);

protected:
    ~ListModel() override;

    // A double click on a cell, after its row was selected and focused. The base does nothing.
    virtual void cellOpened(int row, int column) {}
    // A single click on a cell, after focus and selection followed it. The base does nothing.
    virtual void cellClicked(int row, int column, const CellClick& click) {}

private:
    void setSelection(std::vector<bool> rows);

    struct Column
    {
        std::string id;
        std::string title;
    };
    std::vector<Column> columns;
    std::vector<bool> selected; // by row
    int focusRow = -1;
};

} // namespace Tessel
