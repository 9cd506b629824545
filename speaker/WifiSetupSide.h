#pragma once

#include <string>

#include "tessel/IUnknown.h"

namespace Vellaris
{

// What the speaker side asks of the Wi-Fi network setup: the component named kComponentName below
// the root answers it through unknownCast. Without one, findWifiSetup() answers nullptr and no
// speaker is asked to change networks.
class IWifiSetup : public virtual Tessel::IUnknown
{
public:
    static constexpr Tessel::UID kIID{0x7E55E200, 0x0003, 0x4000, 0x80, 0x00, 0x00,
                                      0x00,       0x00,   0x00,   0x02, 0x03};
    static constexpr const char* kComponentName = "NetworkSetupManager";

    // The name of the network the speakers are to join.
    virtual std::string getJoinSsid() const = 0;
    // Its password (empty for an open network). Never to be logged or stored.
    virtual std::string getJoinPassword() const = 0;
    // Asks every speaker for the networks it sees and rebuilds the list.
    virtual void refresh() = 0;

protected:
    ~IWifiSetup() override = default;
};

// The Wi-Fi setup of the running program, or nullptr. Borrowed.
IWifiSetup* findWifiSetup();

} // namespace Vellaris
