#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tessel/IApplicationStartup.h"
#include "tessel/IIPCSemaphore.h"
#include "tessel/Object.h"
#include "tessel/SharedPtr.h"

namespace Tessel
{

class Application;

// The object that the start-up routine hands to the GUI: it guards against a second instance
// with a named semaphore (held until it is destroyed) and starts the application when the event
// loop is about to run.
class ApplicationStartup : public Object, public IApplicationStartup
{
public:
    ApplicationStartup() = default;
    ~ApplicationStartup() override;

    void* queryInterface(const UID& iid) override;
    int retain() override { return Object::retain(); }
    int release() override { return Object::release(); }

    // Takes the semaphore named `name`; false when another process holds it or when it cannot be
    // made (then getLockFailure() says why).
    bool takeSingleInstanceLock(const std::string& name);
    std::string getLockFailure() const;

    // IApplicationStartup: runs the application's start-up hook; then loads the theme, opens the
    // main window "ApplicationWindow" and starts the services. A failure of the theme shows the
    // alert "Failed to load Application Theme!".
    bool startupApplication() override;
    void shutdownApplication() override;

private:
    SharedPtr<IIPCSemaphore> semaphore;
    bool started = false;
};

// How the start-up routine makes the application-wide components: called once, after the GUI is
// initialised; it must create the Application object first (which registers itself) and then the
// other singletons in their order.
using CreateApplicationFunction = std::function<void()>;

// The framework's start-up routine: initialises the GUI, creates the application components,
// refuses a second instance (which brings the first one forward and ends with 0), runs the
// application and tears it down. Returns the process exit code. When the GUI asked for a restart
// during the run, starts `executablePath` again with the single argument "/restart".
int runApplication(const std::vector<std::string>& arguments,
                   const CreateApplicationFunction& createComponents, const std::string& executablePath);

} // namespace Tessel
