#pragma once

#include "tarnsim/ServerComponent.h"
#include "tarnsim/ServerImplementation.h"

#include <memory>

namespace Core::Portable
{

// The root of a served tree: a server component with an empty name that owns
// the server implementation (connection to lknet and subscriptions).
class ServerRootComponent : public ServerComponent
{
public:
    ServerRootComponent(lknet::INetworkManager* network, lknet::IFileTransferManager* fileTransfer);
    ~ServerRootComponent() override;

    ServerRootComponent* getRoot() override { return this; }
    // Runs the subscription time-out check, then the children's ticks.
    void idle() override;
    // "Synchronize" (from a subscriber), "Subscribe", "Unsubscribe"; others
    // are ignored.
    void handleMessage(Vellaris::LK::MessageAttributes& message) override;
    // A message whose "url" names no component of the served tree (a client addresses the device
    // itself as "Speaker"); the base ignores it.
    virtual void handleUnroutedMessage(Vellaris::LK::MessageAttributes& message);

    // Restores state (members as storeState writes them) under the hold, so
    // that subscribers get one "Synchronize" instead of single changes.
    void restoreState(const Attributes* state);

    ServerImplementation& server() { return *server_; }
    const ServerImplementation& server() const { return *server_; }

private:
    std::unique_ptr<ServerImplementation> server_;
};

} // namespace Core::Portable
