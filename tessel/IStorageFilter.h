#pragma once

#include <string>

namespace Tessel
{

class IUnknown;

// Decides what a stored or restored component tree covers (presets, the clipboard, venue copies).
// Each question gets a category ("Component" or "Parameter"), the item's name and the item (a
// Component or an IParameter), and answers true to include it.
class IStorageFilter
{
public:
    static constexpr const char* kComponent = "Component";
    static constexpr const char* kParameter = "Parameter";

    virtual bool includeOnRestore(const std::string& category, const std::string& name, IUnknown* item) = 0;
    virtual bool includeOnStore(const std::string& category, const std::string& name, IUnknown* item) = 0;
    virtual bool includeOnReset(const std::string& category, const std::string& name, IUnknown* item) = 0;

protected:
    virtual ~IStorageFilter() = default;
};

} // namespace Tessel
