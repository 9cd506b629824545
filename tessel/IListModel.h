#pragma once

#include <string>

#include "tessel/IUnknown.h"
#include "tessel/Variant.h"

namespace Tessel
{

// A click on one cell of a list or table view.
struct CellClick
{
    enum class Kind
    {
        kSingle,
        kDouble,
    };
    enum Modifiers
    {
        kNone = 0,
        kShift = 1,   // extend the selection up to the row
        kControl = 2, // add or remove the row
    };
    Kind kind = Kind::kSingle;
    int modifiers = kNone;
};

// A list of rows with named columns that a list or table view shows, independent of any GUI
// toolkit ("the preset list", "the Wi-Fi list"). A model is usually a component of the tree: a view
// finds it by skin address and asks it for this interface. As an ISubject the model signals:
//   "changed"          after its rows changed in any way (the view reads everything again),
//   "rowChanged"       (arg 0: row) after the cells of one row changed,
//   "selectionChanged" after the selected rows changed,
//   "focusChanged"     after the focus row changed.
// Rows and columns count from 0; anything out of range reads as empty and is refused when
// written. GUI thread only.
class IListModel : public virtual IUnknown
{
public:
    static constexpr UID kIID{0x7E55E100, 0x0033, 0x4000, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x33};

    virtual int countColumns() const = 0;
    // The column's identifier (lower camel case, "name", "strength"; QML views use it as a role
    // name) and the title a header shows ("Name", "Signal").
    virtual std::string getColumnId(int column) const = 0;
    virtual std::string getColumnTitle(int column) const = 0;

    virtual int countRows() const = 0;
    // The cell's value: a text, a number, or an empty variant.
    virtual Variant getCell(int row, int column) const = 0;

    // The row that has the keyboard focus, −1 when none.
    virtual int getFocusRow() const = 0;
    // Moves the focus (−1: none); false for a row out of range.
    virtual bool setFocusRow(int row) = 0;
    virtual bool isRowSelected(int row) const = 0;
    virtual int countSelectedRows() const = 0;

    // The user clicked a cell. The model updates focus and selection as the click asks and acts
    // on it (a double click opens the row). False when the cell does not exist.
    virtual bool clickCell(int row, int column, const CellClick& click) = 0;

protected:
    ~IListModel() override = default;
};

} // namespace Tessel
