#include "netsetup/NetworkSetupManager.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS_NAMED(NetworkSetupManager, Tessel::Component, "NetworkSetupManager")

NetworkSetupManager::NetworkSetupManager() : Tessel::Component("NetworkSetupManager", "NetworkSetupManager")
{
    attach(this);
}

NetworkSetupManager::~NetworkSetupManager()
{
    detach(this);
}

} // namespace Vellaris
