#include "tessel/MenuParam.h"

#include "tessel/ICommandHandler.h"

namespace Tessel
{

TESSEL_DEFINE_CLASS(MenuParam, StringParam)

MenuParam::MenuParam(const std::string& name) : StringParam(name) {}

void MenuParam::setMenu(const std::vector<Item>& newItems, ICommandHandler* newHandler)
{
    items = newItems;
    handler = Tessel::retained(newHandler);
    signal(Message(Messages::kMenuChanged));
}

bool MenuParam::invokeMenuItem(int index, bool checkOnly)
{
    if (!handler || index < 0 || index >= int(items.size()))
        return false;
    // The handler may replace the menu while it runs.
    SharedPtr<ICommandHandler> keep = handler;
    Item item = items[size_t(index)];
    return keep->interpretCommand(CommandMsg(item.category, item.name, checkOnly));
}

} // namespace Tessel
