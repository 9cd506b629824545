#pragma once

#include <string>

#include "tessel/Attributes.h"

namespace Tessel
{

// A command: (category, name), with optional arguments. With checkOnly set the receiver only
// answers whether it would handle the command (for enabling menu entries) and changes nothing.
// Arguments are named values ("closeRoom" = the ID of the room to close); a command without
// arguments has an empty dictionary, and a handler reads a missing argument as its fallback.
struct CommandMsg
{
    std::string category;
    std::string name;
    bool checkOnly = false;
    Attributes arguments;

    CommandMsg() = default;
    CommandMsg(std::string category, std::string name, bool checkOnly = false)
        : category(std::move(category)), name(std::move(name)), checkOnly(checkOnly)
    {
    }
    CommandMsg(std::string category, std::string name, const Attributes& arguments, bool checkOnly = false)
        : category(std::move(category)), name(std::move(name)), checkOnly(checkOnly), arguments(arguments)
    {
    }

    bool hasArguments() const { return !arguments.isEmpty(); }
    // The argument `key`, or an empty variant.
    Variant getArgument(const std::string& key) const { return arguments.get(key); }
};

} // namespace Tessel
