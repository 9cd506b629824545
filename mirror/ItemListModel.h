#pragma once

#include <string>
#include <vector>

#include "tessel/Component.h"
#include "tessel/SharedPtr.h"

namespace Vellaris
{

// What a list view reports when the user clicks a row. `kind` and `modifiers` are the view's own
// codes; kClickKindToggle with kModifierExtend is the gesture that must not deselect a selected
// speaker (the Qt bridge reports a Shift+click that way).
struct ItemClickEvent
{
    static constexpr int kClickKindToggle = 2;
    static constexpr int kModifierExtend = 4;
    int kind = 0;
    int modifiers = 0;
};

// Decides which objects a list shows. A filter is a Tessel object: it signals "changed" when its
// answers change, and lists that use it show their rows again.
class IObjectFilter : public virtual Tessel::IUnknown
{
public:
    static constexpr Tessel::UID kIID{0x7E55E300, 0x0002, 0x4000, 0x80, 0x00, 0x00,
                                      0x00,       0x00,   0x00,   0x03, 0x02};
    // True when `object` passes (is shown).
    virtual bool matches(Tessel::IUnknown* object) const = 0;
};

// A list of components that the GUI shows as rows, independent of any GUI toolkit. A model is a
// component of the tree, so a view finds it by its skin address ("://roomdesk/SpeakerNetwork/
// NetworkList") and asks it for this interface with Tessel::unknownCast<IItemListModel>.
//
// Rows are the items that pass the model's filter, in order. The model signals to its observers:
//   "itemAdded"   (arg 0: the item)  after an item joined the list,
//   "itemRemoved" (arg 0: the item)  after an item left it,
//   "changed"     (no args)          after any change of the rows (also a new filter); a view that
//                                    does not care for the finer messages reloads on this one.
// All calls on the GUI thread; indexes are row numbers valid until the next "changed".
class IItemListModel : public virtual Tessel::IUnknown
{
public:
    static constexpr Tessel::UID kIID{0x7E55E300, 0x0003, 0x4000, 0x80, 0x00, 0x00,
                                      0x00,       0x00,   0x00,   0x03, 0x03};

    // Number of rows.
    virtual int countRows() const = 0;
    // The item of `row` (borrowed), or nullptr when the row is not an integer or out of range.
    virtual Tessel::Component* getRowItem(const Tessel::Variant& row) const = 0;
    // The component path of the row's item (a skin address below "://roomdesk/"), or "".
    virtual std::string getRowPath(int row) const = 0;
    // The image name of the row's icon ("SpeakerIcon:TX10A"), or "".
    virtual std::string getRowIcon(int row) const = 0;
    // The user opened (double-clicked) the row. False when there is no such row.
    virtual bool openRow(int row) = 0;
    // The user clicked the row. False when there is no such row.
    virtual bool clickRow(int row, const ItemClickEvent& event) = 0;
    // The object to drag when the user drags the row (borrowed), or nullptr when it may not move.
    virtual Tessel::IUnknown* dragRow(int row) = 0;
    // Appends every item to `target` (in order), only those that pass `filter` when one is given.
    virtual void collectItems(std::vector<Tessel::SharedPtr<Tessel::Component>>& target,
                              const IObjectFilter* filter = nullptr) const = 0;
};

} // namespace Vellaris
