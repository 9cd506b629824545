#pragma once

#include <cstdint>
#include <string>

#include "tessel/IPlatform.h"

namespace Tessel
{

// Installs `platform` (not owned; null uninstalls) and returns the previous one. Install it before
// anything uses the services and uninstall it before it goes.
IPlatform* setPlatform(IPlatform* platform);
// The installed platform; when none is installed, a process-wide HeadlessPlatform (virtual clock
// at 0, folders under the system's temporary folder) made on first use.
IPlatform& getPlatform();

// The service accessors; each returns the installed platform's service (never null).
IGUI* GetGUI();
ISignalHandler* GetSignalHandler();
IWindowManager* GetWindowManager();
ISystem* GetSystem();
IFileSystem* GetFileSystem();
IExecutableLoader* GetExecutableLoader();
// A new semaphore object (reference count 1, released by the caller).
IIPCSemaphore* CreateIPCSemaphore(const std::string& name);
ICommandTable* GetCommandTable();
IServiceManager* GetServiceManager();
IPlugInManager* GetPlugInManager();
IThreadPool* GetThreadPool();
IAlertService* GetAlertService();
IDescriptorWatcher* GetDescriptorWatcher();
int64_t GetSystemTicks();
void DebugPrintCString(const char* text);
void DebugReportWarning(const char* text);

// The name under which resource URLs reach this program's resources ("roomdesk";
// "resource://roomdesk/x" and "resource:///x" name the same resource).
const std::string& GetModuleIdentifier();
void setModuleIdentifier(const std::string& identifier);

} // namespace Tessel
