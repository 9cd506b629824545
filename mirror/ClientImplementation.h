#pragma once

#include <cstdint>

#include "lknet/lknet.h"

namespace Vellaris::LK
{

// The network side of a client root: the library managers, the client's own handle and the
// subscribed speaker's handle. Receives the library's packets through IEventHandler.
class ClientImplementation : public lknet::IEventHandler
{
public:
    // Handle of the subscribed speaker; 0 when none.
    int getServer() const { return server; }
    // This client's handle from registerClient (0 when registration failed).
    int getClient() const { return client; }
    // Whether the connection to the server is switched on in the library.
    bool isSubscribed() const { return subscribed; }
    // System ticks when "KA" was last sent (0: never).
    int64_t getLastKeepAlive() const { return lastKeepAlive; }
    lknet::INetworkManager* getNetwork() const { return network; }

protected:
    // Null managers are taken from LKGetNetworkManager() / LKGetFileTransferManager().
    ClientImplementation(lknet::INetworkManager* network, lknet::IFileTransferManager* transfers);
    ~ClientImplementation() = default;

    int server = 0;
    int client = 0;
    lknet::INetworkManager* network = nullptr;
    lknet::IFileTransferManager* transfers = nullptr;
    int64_t lastKeepAlive = 0;
    bool subscribed = false;
};

} // namespace Vellaris::LK
