#pragma once

#include <cstddef>
#include <string>

namespace Tessel
{
class Attributes;
class Component;
} // namespace Tessel

namespace Vellaris
{

class StorageFilter;

// Reading and writing one preset file: the storage tree of one component (its section, keyed by
// the component's name) as the framework's persistent attributes, in JSON.
//
// Loading is all or nothing: the file is read, parsed and checked against the target component
// before a single value is set, so a cut, corrupt or foreign file leaves the target as it was.
//
// Beside the storable values, the tree holds the parameters the filter carries (StorageFilter::
// carries) as additional keys of their component's section; a tree without such a key leaves
// that parameter as it is, so files written before a key existed load as they always did.
class PresetFile
{
public:
    // A preset holds a few kilobytes; anything far larger is not one of ours.
    static constexpr size_t kMaxBytes = 1 << 20;

    // Writes the storage tree of `component` (through `filter`) to `path` with the file system's
    // atomic write. False when the write fails; the old file then stays whole.
    static bool save(Tessel::Component& component, const std::string& path, StorageFilter* filter);
    // Restores `component` from `path` through `filter`. False, with `problem` saying why in plain
    // words and the component untouched, when the file cannot be read, is too large, is not JSON
    // or does not have the form of `component`'s storage tree.
    static bool load(Tessel::Component& component, const std::string& path, StorageFilter* filter,
                     std::string& problem);
    // Whether `tree` is a storage tree that `component` can be restored from: its section is a
    // dictionary, every child section that the filter includes is a dictionary, and every stored
    // value of an included storable parameter has a usable type (a number, or a text for a text
    // parameter or one that reads as a number), and so has every carried key present. Entries the
    // component does not know are allowed.
    static bool checkStoredForm(Tessel::Component& component, const Tessel::Attributes& tree,
                                StorageFilter* filter, std::string& problem);

    // Adds the storage tree of `component` to `into`: the storable values through `filter`, and
    // the parameters it carries.
    static void storeTree(Tessel::Component& component, Tessel::Attributes& into, StorageFilter* filter);
    // Restores `component` from a tree that checkStoredForm accepted: the storable values (a
    // missing one goes to its default), then each carried parameter whose key is present. Every
    // change is notified, so a mirrored speaker receives it.
    static void restoreTree(Tessel::Component& component, const Tessel::Attributes& tree,
                            StorageFilter* filter);
};

} // namespace Vellaris
