#pragma once

#include <string>
#include <vector>

namespace Tessel
{

class MenuBar;

// One entry of a menu: a command item, a separator, or (before extension) a placeholder.
struct MenuEntry
{
    enum class Kind
    {
        Item,
        Separator,
        Placeholder,
    };
    Kind kind = Kind::Item;
    std::string title;    // as written; "$APPNAME" expands when the menu is shown
    std::string category; // command category of an item
    std::string name;     // command name of an item, placeholder name of a placeholder
    bool follow = false;  // the item opens a window ("follow" in the menu file)
};

struct Menu
{
    std::string name;
    std::string title;
    std::vector<MenuEntry> entries;

    // Appends a command item (used by menu extensions).
    void addCommandItem(const std::string& itemTitle, const std::string& itemCategory,
                        const std::string& itemName);
};

// Fills the placeholders of a menu bar. Called once per placeholder with the menu that holds it;
// entries appended to `menu` appear where the placeholder stood.
class IMenuExtension
{
public:
    virtual void extendMenu(const std::string& placeholderName, Menu& menu) = 0;

protected:
    virtual ~IMenuExtension() = default;
};

// The application's menu bar, read from a menu file: "MenuBar" > "Menu" (name, title) >
// "MenuItem" (category, name, title, follow), "MenuSeparator", "MenuPlaceholder" (name).
// The processing instruction <?config debug?> starts a part that exists only in debug builds and
// <?config?> ends it.
class MenuBar
{
public:
    // Reads `url` (through the framework's file system). `debugBuild` keeps the debug-only parts.
    // Returns false when the file cannot be read or is not a menu file; the bar is then empty.
    bool load(const std::string& url, bool debugBuild);
    // Replaces every placeholder by what `extension` adds for it (placeholders it ignores vanish).
    void extend(IMenuExtension& extension);

    const std::vector<Menu>& getMenus() const { return menus; }
    const Menu* findMenu(const std::string& name) const;

    // Whether this program was built with the debug-only menus.
    static bool isDebugBuild();

private:
    std::vector<Menu> menus;
};

} // namespace Tessel
