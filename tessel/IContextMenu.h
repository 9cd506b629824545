#pragma once

#include <string>

#include "tessel/CommandMsg.h"
#include "tessel/IUnknown.h"

namespace Tessel
{

// The menu a context click (right click) opens, as the components that take part fill it.
class IContextMenu
{
public:
    // Appends an entry titled `title` that sends `command` (with its arguments) to the component
    // that adds it when the user picks it. The entry is shown enabled when that component answers
    // the command as check-only with true.
    virtual void addCommand(const std::string& title, const CommandMsg& command) = 0;
    // Appends a separator line (none at the start, none twice in a row).
    virtual void addSeparator() = 0;
    virtual int countEntries() const = 0;

protected:
    ~IContextMenu() = default;
};

// A component that adds entries to the context menu of a view showing it ("Edit", "Copy",
// "Paste"). The framework asks the component under the click and then each of its ancestors, in
// that order, with a separator between their groups.
class IContextMenuHandler : public virtual IUnknown
{
public:
    static constexpr UID kIID{0x7E55E100, 0x0030, 0x4000, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x30};

    // Adds this component's entries to `menu`. `context` says where the click was, as the view
    // tells it (for instance "part" = "header" or a "row"); it may be empty. Must not change state.
    virtual void appendContextMenu(IContextMenu& menu, const Attributes& context) = 0;

protected:
    ~IContextMenuHandler() override = default;
};

} // namespace Tessel
