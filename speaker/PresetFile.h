#pragma once

#include <cstddef>
#include <string>

namespace Tessel
{
class Attributes;
class Component;
class IStorageFilter;
} // namespace Tessel

namespace Vellaris
{

// Reading and writing one preset file: the storage tree of one component (its section, keyed by
// the component's name) as the framework's persistent attributes, in JSON.
//
// Loading is all or nothing: the file is read, parsed and checked against the target component
// before a single value is set, so a cut, corrupt or foreign file leaves the target as it was.
class PresetFile
{
public:
    // A preset holds a few kilobytes; anything far larger is not one of ours.
    static constexpr size_t kMaxBytes = 1 << 20;

    // Writes the storage tree of `component` (through `filter`) to `path` with the file system's
    // atomic write. False when the write fails; the old file then stays whole.
    static bool save(Tessel::Component& component, const std::string& path, Tessel::IStorageFilter* filter);
    // Restores `component` from `path` through `filter`. False, with `problem` saying why in plain
    // words and the component untouched, when the file cannot be read, is too large, is not JSON
    // or does not have the form of `component`'s storage tree.
    static bool load(Tessel::Component& component, const std::string& path, Tessel::IStorageFilter* filter,
                     std::string& problem);
    // Whether `tree` is a storage tree that `component` can be restored from: its section is a
    // dictionary, every child section that the filter includes is a dictionary, and every stored
    // value of an included storable parameter has a usable type (a number, or a text for a text
    // parameter or one that reads as a number). Entries the component does not know are allowed.
    static bool checkStoredForm(Tessel::Component& component, const Tessel::Attributes& tree,
                                Tessel::IStorageFilter* filter, std::string& problem);
};

} // namespace Vellaris
