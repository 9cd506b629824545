#pragma once

#include <cstdint>
#include <string>

namespace Tessel
{

class IAlertService;
class IDescriptorWatcher;
class ICommandTable;
class IExecutableLoader;
class IFileSystem;
class IGUI;
class IIPCSemaphore;
class IPlugInManager;
class IServiceManager;
class ISignalHandler;
class ISystem;
class IThreadPool;
class IWindowManager;

// One implementation of the framework's outside services (headless for tests and tools, Qt for the
// product). Install it with setPlatform(); the accessors in Platform.h reach it. Every getter
// returns a service the platform owns; callers never free it.
class IPlatform
{
public:
    virtual IGUI* getGUI() = 0;
    virtual ISignalHandler* getSignalHandler() = 0;
    virtual IWindowManager* getWindowManager() = 0;
    virtual ISystem* getSystem() = 0;
    virtual IFileSystem* getFileSystem() = 0;
    virtual IExecutableLoader* getExecutableLoader() = 0;
    // A new semaphore object named `name` (reference count 1, released by the caller).
    virtual IIPCSemaphore* createIPCSemaphore(const std::string& name) = 0;
    virtual ICommandTable* getCommandTable() = 0;
    virtual IServiceManager* getServiceManager() = 0;
    virtual IPlugInManager* getPlugInManager() = 0;
    virtual IThreadPool* getThreadPool() = 0;
    virtual IAlertService* getAlertService() = 0;
    // Calls back on the GUI thread when a watched socket is readable.
    virtual IDescriptorWatcher* getDescriptorWatcher() = 0;
    // Milliseconds since an arbitrary start (monotonic).
    virtual int64_t getSystemTicks() = 0;
    // Writes `text` as it is to the debug output.
    virtual void debugPrint(const char* text) = 0;
    // Hands a warning text to the warning report.
    virtual void reportWarning(const char* text) = 0;

protected:
    virtual ~IPlatform() = default;
};

} // namespace Tessel
