#pragma once

#include "lknet/lknet.h"
#include "tarnsim/ClientSubscription.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace Vellaris::LK
{
class MessageAttributes;
}

namespace Core::Portable
{

class Component;
class Parameter;
class ServerComponent;
class ServerRootComponent;

// The part of the served tree's root that lknet talks to: it dispatches
// incoming packets, keeps the subscriptions, publishes changes and drops
// clients that fall silent. Runs entirely on the thread that calls process().
class ServerImplementation : public lknet::IEventHandler
{
public:
    static constexpr int64_t kTimeoutCheckInterval = 1500; // ms between time-out checks
    static constexpr int64_t kSubscriptionTimeout = 6000;  // ms of silence that end a subscription

    using Clock = std::function<int64_t()>;

    // The network managers may be null (nothing is sent) and set later.
    ServerImplementation(ServerRootComponent& root, lknet::INetworkManager* network,
                         lknet::IFileTransferManager* fileTransfer);

    // Dispatches by packet type, then packetHandled(). Returns 0, or for
    // "FA"/"FD" the file transfer manager's result.
    int handlePacket(int context, const lknet::Packet* packet) override;
    virtual ~ServerImplementation();
    // Milliseconds of the monotonic clock (or of the clock set with setClock).
    virtual int64_t currentTime();
    virtual void onPacketMI(const lknet::Packet* packet);
    virtual void onPacketTC(const lknet::Packet* packet);
    // Answers with an "FD" of status 3 (subscribed requester) or 4.
    virtual void onFileRequest(const lknet::Packet* packet);
    virtual void onPacketBO(const lknet::Packet* packet);
    // Decodes the message and hands it to the component its "url" names (to the root's
    // handleUnroutedMessage when the url names none).
    virtual void onJsonMessage(const lknet::Packet* packet);
    // "PV" and "PS" set a public, enabled parameter for a subscribed sender.
    virtual void onParameterPacket(const lknet::Packet* packet);
    // Sends the whole tree's state to the subscriber ("ZM", split on 103).
    virtual void sendSynchronize(ClientSubscription* subscription);
    virtual void sendSubscriptionLost(ClientSubscription* subscription);
    virtual void subscriptionsChanged();
    virtual void packetHandled();

    // Root messages.
    void subscribe(const Vellaris::LK::MessageAttributes& message);
    void unsubscribe(uint32_t clientId);
    void applySynchronize(const Vellaris::LK::MessageAttributes& message);
    // Forgets every subscriber without telling it (the server is leaving the network).
    void dropSubscriptions();
    // Drops subscriptions silent for 6000 ms; runs at most every 1500 ms.
    void checkTimeouts();
    // Sets lastSeen of the sender's subscription; false without one.
    bool refresh(uint32_t clientId);

    // Publishes a change of a parameter of component to every subscriber.
    void publish(ServerComponent& component, Parameter& parameter, int code);
    // Sets the hold, runs restore, puts the hold back; when it was not held
    // before, every subscriber gets one "Synchronize".
    void holdWhile(const std::function<void()>& restore);

    ClientSubscription* findSubscription(uint32_t clientId) const;
    const std::vector<std::unique_ptr<ClientSubscription>>& subscriptions() const { return subscriptions_; }
    bool hasSubscriptions() const { return !subscriptions_.empty(); }

    uint32_t handle() const { return handle_; }
    void setHandle(uint32_t handle) { handle_ = handle; }
    bool isHeld() const { return hold_; }
    void setHold(bool hold) { hold_ = hold; }
    lknet::INetworkManager* network() const { return network_; }
    void setNetwork(lknet::INetworkManager* network, lknet::IFileTransferManager* fileTransfer);
    // Replaces the clock (tests drive the timing rules with their own).
    void setClock(Clock clock) { clock_ = std::move(clock); }

private:
    int send(const lknet::Packet* packet);

    ServerRootComponent& root_;
    lknet::INetworkManager* network_;
    lknet::IFileTransferManager* fileTransfer_;
    uint32_t handle_ = 0;
    bool hold_ = false;
    int64_t lastTimeoutCheck_ = 0;
    Clock clock_;
    std::vector<std::unique_ptr<ClientSubscription>> subscriptions_;
};

} // namespace Core::Portable
