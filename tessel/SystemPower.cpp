#include "tessel/SystemPower.h"

#include "tessel/Component.h"

namespace Tessel
{

namespace
{
bool tellApplication(const char* messageId)
{
    Component* application = getRootComponent()->findChild("Application");
    if (!application)
        return false;
    SharedPtr<Component> keepAlive(application);
    application->notify(nullptr, Message(messageId));
    return true;
}
} // namespace

SystemPower& SystemPower::get()
{
    static SystemPower power;
    return power;
}

void SystemPower::willSleep()
{
    if (asleep)
        return;
    asleep = tellApplication("appSuspended");
}

void SystemPower::didWake()
{
    if (!asleep)
        return;
    asleep = false;
    tellApplication("appResumed");
}

} // namespace Tessel
