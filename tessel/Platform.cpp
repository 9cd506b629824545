#include "tessel/Platform.h"

#include <memory>

#include "tessel/HeadlessPlatform.h"

namespace Tessel
{

namespace
{
IPlatform* installed = nullptr;
std::string moduleIdentifier = "roomdesk";

IPlatform& fallbackPlatform()
{
    // Not installed: a HeadlessPlatform that installs itself would fight with setPlatform().
    static HeadlessPlatform platform(false);
    return platform;
}
} // namespace

IPlatform* setPlatform(IPlatform* platform)
{
    IPlatform* previous = installed;
    installed = platform;
    return previous;
}

IPlatform& getPlatform()
{
    return installed ? *installed : fallbackPlatform();
}

IGUI* GetGUI()
{
    return getPlatform().getGUI();
}

ISignalHandler* GetSignalHandler()
{
    return getPlatform().getSignalHandler();
}

IWindowManager* GetWindowManager()
{
    return getPlatform().getWindowManager();
}

ISystem* GetSystem()
{
    return getPlatform().getSystem();
}

IFileSystem* GetFileSystem()
{
    return getPlatform().getFileSystem();
}

IExecutableLoader* GetExecutableLoader()
{
    return getPlatform().getExecutableLoader();
}

IIPCSemaphore* CreateIPCSemaphore(const std::string& name)
{
    return getPlatform().createIPCSemaphore(name);
}

ICommandTable* GetCommandTable()
{
    return getPlatform().getCommandTable();
}

IServiceManager* GetServiceManager()
{
    return getPlatform().getServiceManager();
}

IPlugInManager* GetPlugInManager()
{
    return getPlatform().getPlugInManager();
}

IThreadPool* GetThreadPool()
{
    return getPlatform().getThreadPool();
}

IAlertService* GetAlertService()
{
    return getPlatform().getAlertService();
}

IDescriptorWatcher* GetDescriptorWatcher()
{
    return getPlatform().getDescriptorWatcher();
}

int64_t GetSystemTicks()
{
    return getPlatform().getSystemTicks();
}

void DebugPrintCString(const char* text)
{
    getPlatform().debugPrint(text ? text : "");
}

void DebugReportWarning(const char* text)
{
    getPlatform().reportWarning(text ? text : "");
}

const std::string& GetModuleIdentifier()
{
    return moduleIdentifier;
}

void setModuleIdentifier(const std::string& identifier)
{
    moduleIdentifier = identifier;
}

} // namespace Tessel
