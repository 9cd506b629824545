#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "tessel/Variant.h"

namespace Tessel
{

// A message: a text identifier and an ordered list of arguments. Identifiers compare as text.
// Messages are values; copies share object arguments by reference.
class Message
{
public:
    Message() = default;
    Message(std::string id) : id(std::move(id)) {}
    Message(const char* id) : id(id ? id : "") {}
    Message(std::string id, std::initializer_list<Variant> args) : id(std::move(id)), args(args) {}

    const std::string& getID() const { return id; }
    // True when the identifier equals `name` exactly.
    bool is(const std::string& name) const { return id == name; }
    bool operator==(const char* name) const { return id == name; }

    int getArgCount() const { return int(args.size()); }
    // The argument at `index`, or an empty variant when out of range.
    const Variant& getArg(int index) const;
    void addArg(const Variant& value) { args.push_back(value); }
    const std::vector<Variant>& getArgs() const { return args; }

private:
    std::string id;
    std::vector<Variant> args;
};

// Message identifiers the framework itself sends.
namespace Messages
{
constexpr const char* kChanged = "changed";                 // a parameter or object changed
constexpr const char* kPropertyChanged = "propertyChanged"; // arg 0: the property name, when known
constexpr const char* kMenuChanged = "menuChanged";         // a menu parameter's entries changed
constexpr const char* kDestroyed = "destroyed";             // an object is going away
constexpr const char* kBeginEdit = "beginEdit";             // a parameter's edit gesture began
constexpr const char* kEndEdit = "endEdit";                 // a parameter's edit gesture ended
// A parameter was replaced in its component by another one (arg 0: the new parameter). Views
// bound to the old one switch to the new one.
constexpr const char* kReplaced = "replaced";
} // namespace Messages

} // namespace Tessel
