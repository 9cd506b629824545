#include "tessel/MenuBar.h"

#include "tessel/ExpatXmlParser.h"
#include "tessel/IXmlParser.h"
#include "tessel/SharedPtr.h"

namespace Tessel
{

void Menu::addCommandItem(const std::string& itemTitle, const std::string& itemCategory,
                          const std::string& itemName)
{
    MenuEntry entry;
    entry.kind = MenuEntry::Kind::Item;
    entry.title = itemTitle;
    entry.category = itemCategory;
    entry.name = itemName;
    entries.push_back(std::move(entry));
}

namespace
{

std::string attribute(const XmlAttributes& attributes, const char* key)
{
    for (const auto& [name, value] : attributes)
        if (name == key)
            return value;
    return {};
}

class MenuFileReader : public IXmlHandler
{
public:
    MenuFileReader(std::vector<Menu>& menus, bool debugBuild) : menus(menus), debugBuild(debugBuild) {}

    bool sawRoot = false;

    bool startElement(const std::string& name, const XmlAttributes& attributes) override
    {
        ++depth;
        if (depth == 1)
        {
            sawRoot = name == "MenuBar";
            return sawRoot;
        }
        if (skipping())
            return true;
        if (name == "Menu" && depth == 2)
        {
            menus.push_back({attribute(attributes, "name"), attribute(attributes, "title"), {}});
            return true;
        }
        if (depth != 3 || menus.empty())
            return true;
        MenuEntry entry;
        if (name == "MenuItem")
        {
            entry.kind = MenuEntry::Kind::Item;
            entry.category = attribute(attributes, "category");
            entry.name = attribute(attributes, "name");
            entry.title = attribute(attributes, "title");
            if (entry.title.empty())
                entry.title = entry.name;
            entry.follow = attribute(attributes, "follow") == "1";
        }
        else if (name == "MenuSeparator")
            entry.kind = MenuEntry::Kind::Separator;
        else if (name == "MenuPlaceholder")
        {
            entry.kind = MenuEntry::Kind::Placeholder;
            entry.name = attribute(attributes, "name");
        }
        else
            return true;
        menus.back().entries.push_back(std::move(entry));
        return true;
    }

    bool endElement(const std::string&) override
    {
        --depth;
        return true;
    }

    bool processingInstruction(const std::string& target, const std::string& data) override
    {
        if (target != "config")
            return true;
        // "<?config debug?>" opens a debug-only part, "<?config?>" closes it.
        inDebugPart = data.find("debug") != std::string::npos;
        if (inDebugPart && !debugBuild)
            skipDepth = depth;
        else
            skipDepth = -1;
        return true;
    }

private:
    bool skipping() const { return skipDepth >= 0 && depth > skipDepth; }

    std::vector<Menu>& menus;
    bool debugBuild;
    bool inDebugPart = false;
    int depth = 0;
    int skipDepth = -1;
};

} // namespace

bool MenuBar::load(const std::string& url, bool debugBuild)
{
    menus.clear();
    auto parser = SharedPtr<IXmlParser>::adopt(CreateXmlParser());
    MenuFileReader reader(menus, debugBuild);
    if (!parser || !parser->parseUrl(url, reader) || !reader.sawRoot)
    {
        menus.clear();
        return false;
    }
    return true;
}

void MenuBar::extend(IMenuExtension& extension)
{
    for (Menu& menu : menus)
    {
        std::vector<MenuEntry> entries;
        entries.swap(menu.entries);
        for (MenuEntry& entry : entries)
        {
            if (entry.kind != MenuEntry::Kind::Placeholder)
            {
                menu.entries.push_back(std::move(entry));
                continue;
            }
            extension.extendMenu(entry.name, menu);
        }
    }
}

const Menu* MenuBar::findMenu(const std::string& name) const
{
    for (const Menu& menu : menus)
        if (menu.name == name)
            return &menu;
    return nullptr;
}

bool MenuBar::isDebugBuild()
{
#ifdef NDEBUG
    return false;
#else
    return true;
#endif
}

} // namespace Tessel
