#pragma once

#include <string>

namespace Tessel
{

// A command: (category, name). With checkOnly set the receiver only answers whether it would
// handle the command (for enabling menu entries) and changes nothing.
struct CommandMsg
{
    std::string category;
    std::string name;
    bool checkOnly = false;

    CommandMsg() = default;
    CommandMsg(std::string category, std::string name, bool checkOnly = false)
        : category(std::move(category)), name(std::move(name)), checkOnly(checkOnly)
    {
    }
};

} // namespace Tessel
