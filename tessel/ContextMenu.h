#pragma once

#include <string>
#include <vector>

#include "tessel/Component.h"
#include "tessel/IContextMenu.h"
#include "tessel/SharedPtr.h"

namespace Tessel
{

// The framework's context menu: collected from a component and its ancestors (each that offers
// IContextMenuHandler, itself or through an extension, adds its group), shown by the platform's view layer,
// and run by select(). Each entry remembers the component that added it (retained) and sends its command
// there.
class ContextMenu : public IContextMenu
{
public:
    struct Entry
    {
        std::string title;
        CommandMsg command;
        SharedPtr<Component> target; // null for a separator
        bool enabled = false;
        bool isSeparator() const { return !target; }
    };

    ContextMenu() = default;
    ~ContextMenu() = default;

    // Clears the menu and asks `component`, then each of its ancestors, for entries. Returns the
    // number of entries (0: there is nothing to show). A trailing separator is dropped.
    int collect(Component* component, const Attributes& context = {});
    void clear() { entries.clear(); }

    // IContextMenu. addCommand needs a component: it is meant for calls during collect().
    void addCommand(const std::string& title, const CommandMsg& command) override;
    void addSeparator() override;
    int countEntries() const override { return int(entries.size()); }

    const Entry* getEntry(int index) const;
    const std::vector<Entry>& getEntries() const { return entries; }

    // Runs entry `index`: sends its command (not check-only) to the component that added it.
    // Returns the component's answer; false for a separator, a disabled entry or a bad index.
    bool select(int index);

private:
    std::vector<Entry> entries;
    Component* collecting = nullptr;
};

} // namespace Tessel
