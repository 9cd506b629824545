#pragma once

#include <memory>

#include "tessel/CommandTable.h"
#include "tessel/DescriptorPoller.h"
#include "tessel/IPlatform.h"
#include "tessel/IPlugInManager.h"
#include "tessel/IServiceManager.h"
#include "tessel/IThreadPool.h"
#include "tessel/LocalFileSystem.h"
#include "tessel/ProcessLauncher.h"

namespace Tessel
{

// Services that every platform shares: the local file system with embedded resources, the
// program launcher, lock-file semaphores, the command table, services, plug-ins and threads that
// have nothing to do (no services, no plug-ins, no pool threads), a monotonic clock and debug
// output to standard error (the warning report keeps nothing more). A platform derives from it and supplies
// the GUI, the signal handler, windows, system facts and alerts (and may override the rest).
class PlatformBase : public IPlatform, private IServiceManager, private IPlugInManager, private IThreadPool
{
public:
    PlatformBase();
    ~PlatformBase() override;

    IFileSystem* getFileSystem() override { return &fileSystem; }
    IExecutableLoader* getExecutableLoader() override { return &launcher; }
    IIPCSemaphore* createIPCSemaphore(const std::string& name) override;
    ICommandTable* getCommandTable() override { return &commandTable; }
    IServiceManager* getServiceManager() override { return this; }
    IPlugInManager* getPlugInManager() override { return this; }
    IThreadPool* getThreadPool() override { return this; }
    // A poller: a platform that keeps it calls getDescriptorPoller().poll() from its loop.
    IDescriptorWatcher* getDescriptorWatcher() override { return &descriptorPoller; }
    // Milliseconds of the monotonic clock since this platform object was made.
    int64_t getSystemTicks() override;
    // Writes the text to standard error.
    void debugPrint(const char* text) override;
    // Does nothing: the warning's text has already gone to the debug output.
    void reportWarning(const char* text) override;

protected:
    DescriptorPoller& getDescriptorPoller() { return descriptorPoller; }

private:
    // IServiceManager, IPlugInManager, IThreadPool: nothing to do.
    void startup() override {}
    void shutdown() override {}
    int loadPlugIns(const std::string& folder) override { return 0; }
    void unloadAll() override {}
    IUnknown* createInstance(const UID& classId) override { return nullptr; }
    void terminate() override {}

    LocalFileSystem fileSystem;
    ProcessLauncher launcher;
    CommandTable commandTable;
    DescriptorPoller descriptorPoller;
    int64_t startNanos;
};

} // namespace Tessel
