#include "tessel/CommandTable.h"

#include "tessel/ExpatXmlParser.h"
#include "tessel/SharedPtr.h"

namespace Tessel
{

namespace
{
std::string attribute(const XmlAttributes& attributes, const char* name)
{
    for (const auto& a : attributes)
        if (a.first == name)
            return a.second;
    return {};
}

// Reads <Commands><Category name=".."><Command name=".." keys=".."/></Category></Commands>.
class CommandFileReader : public IXmlHandler
{
public:
    bool startElement(const std::string& name, const XmlAttributes& attributes) override
    {
        ++depth;
        if (depth == 1)
        {
            sawRoot = name == "Commands";
            return sawRoot;
        }
        if (name == "Category")
            category = attribute(attributes, "name");
        else if (name == "Command")
            commands.push_back({category, attribute(attributes, "name"), attribute(attributes, "keys")});
        return true;
    }
    bool endElement(const std::string& name) override
    {
        if (name == "Category")
            category.clear();
        --depth;
        return true;
    }

    std::vector<CommandTable::Command> commands;
    bool sawRoot = false;

private:
    std::string category;
    int depth = 0;
};
} // namespace

bool CommandTable::load(const std::string& url)
{
    CommandFileReader reader;
    AutoPtr<IXmlParser> parser = CreateXmlParser();
    if (!parser->parseUrl(url, reader) || !reader.sawRoot)
        return false;
    for (Command& command : reader.commands)
    {
        bool replaced = false;
        for (Command& existing : commands)
        {
            if (existing.category == command.category && existing.name == command.name)
            {
                existing.keys = command.keys;
                replaced = true;
            }
        }
        if (!replaced)
            commands.push_back(std::move(command));
    }
    return true;
}

std::string CommandTable::getKeys(const std::string& category, const std::string& name) const
{
    for (const Command& command : commands)
        if (command.category == category && command.name == name)
            return command.keys;
    return {};
}

} // namespace Tessel
