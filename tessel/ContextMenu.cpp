#include "tessel/ContextMenu.h"

namespace Tessel
{

int ContextMenu::collect(Component* component, const Attributes& context)
{
    entries.clear();
    for (Component* at = component; at; at = at->getParent())
    {
        IContextMenuHandler* handler = unknownCast<IContextMenuHandler>(static_cast<Object*>(at));
        if (!handler)
            handler = at->getExtension<IContextMenuHandler>();
        if (!handler)
            continue;
        addSeparator();
        collecting = at;
        handler->appendContextMenu(*this, context);
        collecting = nullptr;
    }
    if (!entries.empty() && entries.back().isSeparator())
        entries.pop_back();
    return countEntries();
}

void ContextMenu::addCommand(const std::string& title, const CommandMsg& command)
{
    if (!collecting)
        return;
    Entry entry;
    entry.title = title;
    entry.command = command;
    entry.command.checkOnly = true;
    entry.enabled = collecting->interpretCommand(entry.command);
    entry.command.checkOnly = false;
    entry.target = SharedPtr<Component>(collecting);
    entries.push_back(std::move(entry));
}

void ContextMenu::addSeparator()
{
    if (entries.empty() || entries.back().isSeparator())
        return;
    entries.push_back(Entry{});
}

const ContextMenu::Entry* ContextMenu::getEntry(int index) const
{
    return index >= 0 && index < countEntries() ? &entries[size_t(index)] : nullptr;
}

bool ContextMenu::select(int index)
{
    const Entry* entry = getEntry(index);
    if (!entry || entry->isSeparator() || !entry->enabled)
        return false;
    // The component may change the menu's owner while it runs the command: keep what it needs.
    SharedPtr<Component> target = entry->target;
    const CommandMsg command = entry->command;
    return target->interpretCommand(command);
}

} // namespace Tessel
