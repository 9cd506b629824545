#include "speaker/VenueSide.h"

#include "speaker/WifiSetupSide.h"
#include "tessel/Component.h"

namespace Vellaris
{

namespace
{
template <class I> I* findSide(const char* componentName)
{
    return Tessel::unknownCast<I>(Tessel::getRootComponent()->findChild(componentName));
}
} // namespace

IVenueSide* findVenueSide()
{
    return findSide<IVenueSide>(IVenueSide::kComponentName);
}

IActiveRoom* findActiveRoom()
{
    IVenueSide* venues = findVenueSide();
    return venues ? venues->getActiveRoom() : nullptr;
}

IWifiSetup* findWifiSetup()
{
    return findSide<IWifiSetup>(IWifiSetup::kComponentName);
}

} // namespace Vellaris
