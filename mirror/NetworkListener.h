#pragma once

#include <cstdint>
#include <string>

#include "lknet/lknet.h"
#include "tessel/Component.h"

namespace Vellaris::LK
{

class ServerDescription;

// Receives the network library's device and error callbacks and moves each onto the application's
// message loop: a callback only builds a message and posts it to this component (no delay); the
// message is handled later by the on... operations, on the GUI thread.
//   serverAvailable   -> "serverAvailable" (arg: the new ServerDescription, address included)
//   serverUnavailable -> "serverUnavailable" (arg: the server id as integer)
//   reportError       -> "errorReported" (args: code, address text, port)
class NetworkListener : public Tessel::Component,
                        public lknet::INetworkListener,
                        public lknet::INetworkErrorReporter
{
    TESSEL_DECLARE_CLASS(NetworkListener)
public:
    // `network` is the library's manager to use; null takes LKGetNetworkManager().
    explicit NetworkListener(const std::string& name = {}, lknet::INetworkManager* network = nullptr);

    lknet::INetworkManager* getNetwork() const { return network; }

    // Library callbacks (called inside the library's process()).
    void serverAvailable(int server, const lknet::ServerDescriptor* descriptor) override;
    void serverUnavailable(int server) override;
    void reportError(const lknet::NetworkError* error) override;

    // Dispatches the posted messages to the operations below.
    void notify(Tessel::ISubject* subject, const Tessel::Message& msg) override;

    // A device appeared (`description` may be null when the message carried none).
    virtual void onServerAvailable(ServerDescription* description) = 0;
    // The device with library handle `serverId` went away.
    virtual void onServerUnavailable(uint32_t serverId) = 0;
    // A connection error with the peer at `address`:`port`.
    virtual void onNetworkError(int code, const std::string& address, uint16_t port) = 0;

protected:
    ~NetworkListener() override = default;

    lknet::INetworkManager* network;
};

} // namespace Vellaris::LK
