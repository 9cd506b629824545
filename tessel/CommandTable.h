#pragma once

#include <string>
#include <vector>

#include "tessel/ICommandTable.h"

namespace Tessel
{

// The command table of every platform: reads command files with the XML parser.
class CommandTable : public ICommandTable
{
public:
    struct Command
    {
        std::string category;
        std::string name;
        std::string keys;
    };

    bool load(const std::string& url) override;
    std::string getKeys(const std::string& category, const std::string& name) const override;
    int countCommands() const override { return int(commands.size()); }
    const std::vector<Command>& getCommands() const { return commands; }

private:
    std::vector<Command> commands;
};

} // namespace Tessel
