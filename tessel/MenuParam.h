#pragma once

#include <string>
#include <vector>

#include "tessel/SharedPtr.h"
#include "tessel/StringParam.h"

namespace Tessel
{

class ICommandHandler;

// A text parameter that carries a menu: entries with a title and a command (category, name).
// A device may refill the menu; whoever does so sets a command handler that receives the chosen
// entry's command. Observers get "menuChanged" when the menu is replaced.
class MenuParam : public StringParam
{
    TESSEL_DECLARE_CLASS(MenuParam)
public:
    struct Item
    {
        std::string title;
        std::string category;
        std::string name;
    };

    explicit MenuParam(const std::string& name = {});

    // Replaces the menu with `items` and `handler` (retained; may be null) and signals "menuChanged".
    void setMenu(const std::vector<Item>& items, ICommandHandler* handler);
    const std::vector<Item>& getMenuItems() const { return items; }
    ICommandHandler* getMenuHandler() const { return handler.get(); }
    // Sends the command of item `index` to the menu handler; with `checkOnly` only asks. Returns
    // the handler's answer, false when out of range or without handler.
    bool invokeMenuItem(int index, bool checkOnly = false);

private:
    std::vector<Item> items;
    SharedPtr<ICommandHandler> handler;
};

} // namespace Tessel
