#pragma once

#include <string>

namespace Tessel
{

class IUnknown;
struct UID;

// Plug-in libraries.
class IPlugInManager
{
public:
    // Loads the plug-ins of `folder`; returns how many were loaded.
    virtual int loadPlugIns(const std::string& folder) = 0;
    virtual void unloadAll() = 0;
    // A new object of the plug-in class `classId` (reference count 1), or nullptr.
    virtual IUnknown* createInstance(const UID& classId) = 0;

protected:
    virtual ~IPlugInManager() = default;
};

} // namespace Tessel
