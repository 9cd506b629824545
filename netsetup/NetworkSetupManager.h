#pragma once

#include "tessel/ComponentSingleton.h"

namespace Vellaris
{

// Moves speakers onto a Wi-Fi network.
// One per process, named "NetworkSetupManager" below the root component.
class NetworkSetupManager : public Tessel::Component, public Tessel::ComponentSingleton<NetworkSetupManager>
{
    TESSEL_DECLARE_CLASS(NetworkSetupManager)
public:
    NetworkSetupManager();

protected:
    ~NetworkSetupManager() override;
};

} // namespace Vellaris
