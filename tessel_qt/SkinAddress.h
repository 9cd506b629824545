#pragma once

#include <string>

namespace Tessel
{
class Component;
class IParameter;
} // namespace Tessel

namespace Tessel::Qt
{

// A skin address names a parameter or property of a component below the root:
//     "://roomdesk/Application/appNameAndVersion"
// is the prefix "://", the application identifier, "/", the component path ("Application", or a
// deeper path such as "SpeakerNetwork/Speaker"), "/" and the parameter or property name. A
// relative address (without "://") is taken below a base path that views give their delegates.
struct SkinTarget
{
    Component* component = nullptr;  // borrowed; null when the address does not resolve
    IParameter* parameter = nullptr; // borrowed; null for a property
    std::string name;                // parameter or property name
    bool isProperty = false;

    bool resolved() const { return component != nullptr; }
};

// Splits `address` (absolute, or relative to `base`, itself an absolute address of a component
// or a bare component path) into its component path and name. Returns false when it has no name.
bool splitSkinAddress(const std::string& address, const std::string& base, std::string& componentPath,
                      std::string& name);

// The component at `address` ("://roomdesk/SpeakerNetwork/NetworkList" or a bare component path),
// or nullptr.
Component* resolveSkinComponent(const std::string& address);

// Resolves `address` against the root component: a parameter of that name wins, else a property
// the component answers. An unresolved target has a null component.
SkinTarget resolveSkinAddress(const std::string& address, const std::string& base = {});

} // namespace Tessel::Qt
