#pragma once

namespace Core::Portable
{

class Attributes;
class Component;
struct ClientSubscription;

// Writes a component's "Synchronize" content into out: "values" first, then
// "strings", "ranges", "states" in the order of the first parameter that
// needs each, "children" last; each only when not empty. Private parameters
// are left out; children that are no server components or have no content
// are left out. The subscription's filter (if any) picks the parameters.
void buildSynchronizeContent(const Component& component, Attributes& out,
                             const ClientSubscription* subscription = nullptr);

// Applies a client's "Synchronize" content to a component: each member of
// "values" naming a public, enabled parameter sets it (texts from text,
// numbers as normalised values, anything else as 0), with notification; each
// object in "children" naming a server component is applied to it.
void applySynchronizeContent(Component& component, const Attributes& content);

} // namespace Core::Portable
