#include "tessel/ApplicationStartup.h"

#include <cstdio>

#include "tessel/Application.h"
#include "tessel/IAlertService.h"
#include "tessel/IExecutableLoader.h"
#include "tessel/IGUI.h"
#include "tessel/IPlugInManager.h"
#include "tessel/IServiceManager.h"
#include "tessel/ISystem.h"
#include "tessel/IThreadPool.h"
#include "tessel/IWindowManager.h"
#include "tessel/Initializer.h"
#include "tessel/Platform.h"

namespace Tessel
{

ApplicationStartup::~ApplicationStartup()
{
    if (semaphore)
        semaphore->give();
}

void* ApplicationStartup::queryInterface(const UID& iid)
{
    if (iid == IApplicationStartup::kIID)
        return static_cast<IApplicationStartup*>(this);
    return Object::queryInterface(iid);
}

bool ApplicationStartup::takeSingleInstanceLock(const std::string& name)
{
    semaphore = SharedPtr<IIPCSemaphore>::adopt(CreateIPCSemaphore(name));
    return semaphore && semaphore->tryTake();
}

std::string ApplicationStartup::getLockFailure() const
{
    return semaphore ? semaphore->getFailure() : std::string("The single-instance lock cannot be made.");
}

bool ApplicationStartup::startupApplication()
{
    Application* application = Application::getApplication();
    if (!application)
        return false;
    if (!application->startup())
        return false;
    // The theme is the skin the window manager loads: without the main form there is none.
    if (!GetWindowManager()->openWindow("ApplicationWindow", static_cast<Component*>(application), true))
    {
        GetAlertService()->showAlert("Failed to load Application Theme!");
        return false;
    }
    std::string plugins = GetSystem()->getLocation(Location::kSupport) + "/Plugins";
    GetPlugInManager()->loadPlugIns(plugins);
    GetServiceManager()->startup();
    started = true;
    return true;
}

void ApplicationStartup::shutdownApplication()
{
    if (Application* application = Application::getApplication())
        application->shutdown();
    started = false;
}

int runApplication(const std::vector<std::string>& arguments,
                   const CreateApplicationFunction& createComponents, const std::string& executablePath)
{
    runInitializers();
    auto startup = SharedPtr<ApplicationStartup>::adopt(new ApplicationStartup);
    int exitCode = 0;
    IGUI* gui = GetGUI();
    if (gui->initialize(arguments, startup.get()))
    {
        createComponents();
        Application* application = Application::getApplication();
        if (application && application->isSingleInstance() &&
            !startup->takeSingleInstanceLock(application->getIdentifier()))
        {
            const std::string failure = startup->getLockFailure();
            if (!failure.empty())
            {
                // Not another instance: the lock itself failed. Say so instead of leaving silently.
                std::fprintf(stderr, "%s\n", failure.c_str());
                GetAlertService()->showAlert(failure);
                destroyRootComponent();
                return 1;
            }
            // Another instance runs: bring it forward and leave quietly.
            application->initializeApplication();
            if (!GetWindowManager()->bringToFront(application->getIdentifier(), true))
                application->onStartupFailed();
            destroyRootComponent();
            return 0;
        }
        if (application)
            application->initializeApplication();
        exitCode = gui->runEventLoop();
    }
    GetPlugInManager()->unloadAll();
    GetThreadPool()->terminate();
    destroyRootComponent();
    if (gui->isRestartRequested() && !executablePath.empty())
        GetExecutableLoader()->start(executablePath, {"/restart"});
    return exitCode;
}

} // namespace Tessel
