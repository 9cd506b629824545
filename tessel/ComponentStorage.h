#pragma once

#include "tessel/IStorageFilter.h"

namespace Tessel
{

class Attributes;
class Component;

// Writes a component's storable values into persistent attributes and reads them back.
//
// The storage tree of a component is one section keyed by the component's name, holding one entry
// per storable parameter (key: the parameter's name; value: a number, or the text of a string
// parameter), followed by the sections of its children, in order. Only parameters with the
// storable flag take part. A filter (optional, not owned) may leave out components (and so their
// subtree) and parameters.
class ComponentStorage
{
public:
    // Adds the storage tree of `component` to `into` (its section replaces one of the same name).
    static void store(Component& component, Attributes& into, IStorageFilter* filter = nullptr);
    // Restores `component` from the section of its name in `from`: each included storable
    // parameter gets its stored value, or its default when the section (or the whole tree) lacks
    // it, with notification, so a mirrored speaker receives every value. Values of the wrong kind
    // (an object, a text for a number that does not read as one) count as missing.
    static void restore(Component& component, const Attributes& from, IStorageFilter* filter = nullptr);
    // Sets the included storable parameters of `component` (and of its descendants when
    // `recurse`) to their defaults, notifying as `notify` says.
    static void resetToDefaults(Component& component, bool notify, bool recurse,
                                IStorageFilter* filter = nullptr);
};

} // namespace Tessel
