#pragma once

#include <memory>
#include <string>

#include "tessel/Component.h"
#include "tessel/ComponentSingleton.h"
#include "web/WebServer.h"

namespace Tessel
{
class CommandParamList;
class IParameter;
class Parameter;
class StringParam;
} // namespace Tessel

namespace Vellaris::Web
{

// The tablet remote as the desk shows it: component "WebRemote" below the root, owning the
// server. Parameters:
//   url              (text, read-only) the address to type, "http://192.168.1.20:8080/"; "" while off
//   listening        (text, read-only) "127.0.0.1:8080", or why it does not listen ("port 8080 is
//                    taken", "off")
//   readOnly         (toggle, kept in the desk settings) pages may look but not change
//   pairingRequired  (toggle, read-only) on when it listens beyond this computer
//   pairingCode      (text, read-only, secret: remotes never read it) the six digits to type
//   deviceCount      (integer, read-only) paired browsers
// and the child "Devices": for row i "deviceName[i]", "deviceSeen[i]" (texts) and the command
// "revoke[i]", which forgets that browser and closes its pages. GUI thread only.
class WebRemote : public Tessel::Component, public Tessel::ComponentSingleton<WebRemote>
{
public:
    static constexpr int kDefaultPort = 8080;
    static constexpr const char* kCommandCategory = "WebRemote";

    WebRemote();

    // Starts the server (a failure leaves it off with the reason in "listening").
    bool start(const Remote::ListenSettings& settings, PairingRule rule = PairingRule::BeyondLoopback);
    void stop();
    WebServer& getServer() { return server; }

    // "Revoke" with the argument "revoke" (the row) from the device list.
    bool revokeDevice(int index);

    void paramChanged(Tessel::IParameter* param) override;

    // The read-only switch as the desk settings file keeps it ("tabletRemote"/"readOnly"): read
    // when the server starts (returns the switch), written whenever the user flips it (false
    // when the file could not be written).
    bool loadSettings();
    bool saveSettings();

    // The address a browser types for a server bound to `bind` on `port`: the bound address, or for
    // an any-address bind this computer's first network address that is not loopback.
    static std::string urlFor(const std::string& bind, int port);

protected:
    ~WebRemote() override;

private:
    class Devices;
    void refresh();

    WebServer server;
    Tessel::StringParam* url = nullptr;
    Tessel::StringParam* listening = nullptr;
    Tessel::Parameter* readOnly = nullptr;
    Tessel::Parameter* pairingRequired = nullptr;
    Tessel::StringParam* pairingCode = nullptr;
    Tessel::Parameter* deviceCount = nullptr;
    Devices* devices = nullptr; // a child: owned by the tree
    std::string bind;
    bool loading = false; // the switch is being set from the settings file
};

} // namespace Vellaris::Web
