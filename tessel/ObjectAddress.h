#pragma once

#include <string>
#include <vector>

namespace Tessel
{

class Component;
class IParameter;

// What an object address names below a starting component: a parameter, a property or a child
// component. Addresses are component names and a final name joined by "/", taken literally: each
// name is matched exactly (no patterns), one name at a time through the component's own findChild,
// so made-up child names ("activeRoom", "room[2]") and the unnamed client root (an empty name
// between two slashes) resolve the same way for every caller (skin bindings, remote control).
struct ObjectTarget
{
    enum class Kind
    {
        None,
        Parameter,
        Property,
        Component,
    };

    Kind kind = Kind::None;
    Component* component = nullptr;  // borrowed: the owner of the parameter or property, or the
                                     // named component itself for Kind::Component
    IParameter* parameter = nullptr; // borrowed; only for Kind::Parameter
    std::string name;                // the final name of the address

    bool resolved() const { return kind != Kind::None; }
};

// The component at `path` below `start` ("" is `start` itself), or nullptr when a name does not
// resolve.
Component* resolveComponentPath(const Component* start, const std::string& path);

// Resolves `name` of `component`: a parameter of that exact name wins (list entries such as
// "closeRoom[1]" are parameters of that literal name); then a property the component answers;
// then, when `allowComponent`, a child component of that name.
ObjectTarget resolveObjectName(Component* component, const std::string& name, bool allowComponent);

// Splits `path` at its last "/" into the component path and the final name and resolves both.
ObjectTarget resolveObjectPath(const Component* start, const std::string& path, bool allowComponent);

} // namespace Tessel
