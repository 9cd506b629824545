#include "tarnsim/ServerImplementation.h"

#include "core/Attributes.h"
#include "formats/Formatter.h"
#include "protocol/MessageAttributes.h"
#include "protocol/MessageNames.h"
#include "protocol/ParamPackets.h"
#include "protocol/ParamPath.h"
#include "protocol/SynchronizeSender.h"
#include "tarnsim/Report.h"
#include "tarnsim/ServerRootComponent.h"
#include "tarnsim/SynchronizeBuilder.h"

#include <chrono>
#include <string>

namespace Core::Portable
{

namespace M = Vellaris::LK::Message;
using namespace Vellaris::LK;

namespace
{
std::string cutText(std::string_view text)
{
    return std::string(text.substr(0, ClientSubscription::kMaxTextLength));
}
} // namespace

ServerImplementation::ServerImplementation(ServerRootComponent& root, lknet::INetworkManager* network,
                                           lknet::IFileTransferManager* fileTransfer)
    : root_(root), network_(network), fileTransfer_(fileTransfer)
{
}

ServerImplementation::~ServerImplementation() = default;

void ServerImplementation::setNetwork(lknet::INetworkManager* network,
                                      lknet::IFileTransferManager* fileTransfer)
{
    network_ = network;
    fileTransfer_ = fileTransfer;
}

int64_t ServerImplementation::currentTime()
{
    if (clock_)
        return clock_();
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int ServerImplementation::send(const lknet::Packet* packet)
{
    return network_ ? network_->send(packet, 0) : lknet::kErrorNotStarted;
}

int ServerImplementation::handlePacket(int context, const lknet::Packet* packet)
{
    if (!packet)
        return 0;
    int result = 0;
    switch (packet->type)
    {
    case lknet::kPacketJsonMessage:
    case lknet::kPacketZipMessage:
        onJsonMessage(packet);
        break;
    case lknet::kPacketParamValue:
    case lknet::kPacketParamString:
    case lknet::kPacketParamColor:
    case lknet::kPacketParamEdit:
        onParameterPacket(packet);
        break;
    case lknet::kPacketFileRequest:
        onFileRequest(packet);
        break;
    case lknet::kPacketFileAck:
    case lknet::kPacketFileData:
        refresh(packet->source);
        if (fileTransfer_)
            result = fileTransfer_->handlePacket(context, packet);
        break;
    case lknet::kPacketKeepAlive:
        refresh(packet->source);
        break;
    case kPacketInfo:
        onPacketMI(packet);
        break;
    case kPacketTimeCode:
        onPacketTC(packet);
        break;
    case kPacketBoot:
        onPacketBO(packet);
        break;
    default:
        break;
    }
    packetHandled();
    return result;
}

void ServerImplementation::onPacketMI(const lknet::Packet*) {}
void ServerImplementation::onPacketTC(const lknet::Packet*) {}
void ServerImplementation::onPacketBO(const lknet::Packet*) {}
void ServerImplementation::subscriptionsChanged() {}
void ServerImplementation::packetHandled() {}

void ServerImplementation::onFileRequest(const lknet::Packet* packet)
{
    FileDataPacket reply;
    initHeader(reply.header, lknet::kPacketFileData, sizeof(reply), packet->destination, packet->source);
    if (packet->size >= 20)
        reply.requestWord = reinterpret_cast<const FileDataPacket*>(packet)->requestWord;
    reply.status = findSubscription(packet->source) ? kFileStatusNotServed : kFileStatusNotSubscribed;
    send(&reply.header);
    packetHandled();
}

void ServerImplementation::onJsonMessage(const lknet::Packet* packet)
{
    MessageAttributes message;
    if (!message.decode(packet))
        return;
    ServerComponent* target = &root_;
    const std::string_view url = message.url();
    if (!url.empty())
    {
        target = dynamic_cast<ServerComponent*>(root_.findDescendant(url));
        if (!target)
        {
            root_.handleUnroutedMessage(message);
            return;
        }
    }
    target->handleMessage(message);
}

void ServerImplementation::onParameterPacket(const lknet::Packet* packet)
{
    if (!packetHolds<ParamPacketBase>(packet))
        return;
    const SplitPath path = splitParamPath(receivedPath(packet));
    Component* component = root_.findDescendant(path.component);
    Parameter* parameter = component ? component->findParameter(path.parameter) : nullptr;
    if (!parameter || parameter->isPrivate() || !parameter->isEnabled())
        return;
    ClientSubscription* subscription = findSubscription(packet->source);
    if (!subscription || !subscription->accepts(path.component, path.parameter))
        return;
    subscription->lastSeen = currentTime();
    if (packet->type == lknet::kPacketParamValue && packetHolds<ParamValuePacket>(packet))
    {
        parameter->setNormalized(reinterpret_cast<const ParamValuePacket*>(packet)->normalized, true);
    }
    else if (packet->type == lknet::kPacketParamString && packetHolds<ParamStringPacket>(packet))
    {
        const std::string text(receivedText(packet));
        parameter->fromText(text.c_str(), true);
    }
}

void ServerImplementation::subscribe(const MessageAttributes& message)
{
    const uint32_t clientId = message.sourceId;
    if (clientId == 0)
        return;
    ClientSubscription* subscription = findSubscription(clientId);
    if (!subscription)
    {
        report("Client %d attached to server %d", static_cast<int>(clientId), static_cast<int>(handle_));
        auto created = std::make_unique<ClientSubscription>();
        created->clientId = clientId;
        created->lastSeen = currentTime();
        if (subscriptions_.size() == subscriptions_.capacity())
            subscriptions_.reserve(subscriptions_.capacity() + 5);
        subscriptions_.push_back(std::move(created));
        subscription = subscriptions_.back().get();
    }
    subscription->clientName = cutText(message.getText(M::kClientName));
    subscription->clientType = cutText(message.getText(M::kClientType));
    subscription->clientIdentifier = cutText(message.getText(M::kClientIdentifier));
    subscription->clientDescription = cutText(message.getText(M::kClientDescription));
    sendSynchronize(subscription);
    if (network_)
        sendMessage(*network_, MessageAttributes(M::kSubscriptionReply, handle_, clientId),
                    MessageEncoding::Plain);
    packetHandled();
    subscriptionsChanged();
}

void ServerImplementation::unsubscribe(uint32_t clientId)
{
    for (auto it = subscriptions_.begin(); it != subscriptions_.end(); ++it)
    {
        if ((*it)->clientId != clientId)
            continue;
        report("Client %d removed from server %d", static_cast<int>(clientId), static_cast<int>(handle_));
        if (fileTransfer_)
            fileTransfer_->cancelTransfers(static_cast<int>(clientId), 0);
        subscriptions_.erase(it);
        subscriptionsChanged();
        return;
    }
}

void ServerImplementation::dropSubscriptions()
{
    if (subscriptions_.empty())
        return;
    for (const auto& subscription : subscriptions_)
    {
        report("Client %d removed from server %d", static_cast<int>(subscription->clientId),
               static_cast<int>(handle_));
        if (fileTransfer_)
            fileTransfer_->cancelTransfers(static_cast<int>(subscription->clientId), 0);
    }
    subscriptions_.clear();
    subscriptionsChanged();
}

void ServerImplementation::applySynchronize(const MessageAttributes& message)
{
    applySynchronizeContent(root_, message);
}

bool ServerImplementation::refresh(uint32_t clientId)
{
    ClientSubscription* subscription = findSubscription(clientId);
    if (!subscription)
        return false;
    subscription->lastSeen = currentTime();
    return true;
}

void ServerImplementation::checkTimeouts()
{
    if (subscriptions_.empty())
        return;
    const int64_t now = currentTime();
    if (now - lastTimeoutCheck_ < kTimeoutCheckInterval)
        return;
    lastTimeoutCheck_ = now;
    std::vector<uint32_t> expired;
    for (const auto& subscription : subscriptions_)
    {
        if (now - subscription->lastSeen >= kSubscriptionTimeout)
            expired.push_back(subscription->clientId);
    }
    for (uint32_t clientId : expired)
    {
        for (auto it = subscriptions_.begin(); it != subscriptions_.end(); ++it)
        {
            if ((*it)->clientId != clientId)
                continue;
            report("Client %d removed from server %d - TIMED OUT!", static_cast<int>(clientId),
                   static_cast<int>(handle_));
            sendSubscriptionLost(it->get());
            if (fileTransfer_)
                fileTransfer_->cancelTransfers(static_cast<int>(clientId), 1);
            subscriptions_.erase(it);
            break;
        }
    }
    if (!expired.empty())
        subscriptionsChanged();
}

void ServerImplementation::sendSynchronize(ClientSubscription* subscription)
{
    if (!subscription || !network_)
        return;
    MessageAttributes message(M::kSynchronize, handle_, subscription->clientId);
    buildSynchronizeContent(root_, message, subscription);
    Vellaris::LK::sendSynchronize(*network_, message, [this] { packetHandled(); });
}

void ServerImplementation::sendSubscriptionLost(ClientSubscription* subscription)
{
    if (!subscription || !network_)
        return;
    sendMessage(*network_, MessageAttributes(M::kSubscriptionLost, handle_, subscription->clientId),
                MessageEncoding::Plain);
    packetHandled();
}

void ServerImplementation::publish(ServerComponent& component, Parameter& parameter, int code)
{
    if (hold_ || subscriptions_.empty() || !network_)
        return;
    const std::string componentPath = component.path();
    const std::string path = component.paramPath(parameter);
    const uint16_t flags = parameter.isEnabled() ? 0 : kParamFlagDisabled;

    // One record of the right kind; the addresses are set per subscriber.
    union Record
    {
        Record() {}
        ParamValuePacket value;
        ParamStringPacket text;
        ParamListPacket list;
        ParamRangePacket range;
    } record;
    lknet::Packet* header = nullptr;
    if (!parameter.isNumeric())
    {
        buildStringPacket(record.text, handle_, 0, path, flags, parameter.text());
        header = &record.text.base.header;
    }
    else if (code == IParamObserver::kChanged)
    {
        buildValuePacket(record.value, handle_, 0, path, flags, parameter.getNormalized());
        header = &record.value.base.header;
    }
    else if (parameter.type() == ParamDefinition::kList)
    {
        std::string entries;
        for (int i = 0; i < parameter.entryCount(); ++i)
        {
            if (i > 0)
                entries += '\n';
            entries += parameter.entry(i);
        }
        buildListPacket(record.list, handle_, 0, path, flags, parameter.getNormalized(), entries);
        header = &record.list.base.header;
    }
    else
    {
        const ParamDefinition& def = parameter.definition();
        const bool hasCurve = parameter.curve() != nullptr;
        buildRangePacket(record.range, handle_, 0, path, flags, parameter.getNormalized(), parameter.getMin(),
                         parameter.getMax(), def.curveMid, parameter.getDefault(),
                         hasCurve ? def.curveName : "",
                         parameter.formatter() ? parameter.formatter()->name() : "");
        header = &record.range.base.header;
    }
    for (const auto& subscription : subscriptions_)
    {
        if (!subscription->accepts(componentPath, parameter.name()))
            continue;
        header->source = handle_;
        header->destination = subscription->clientId;
        send(header);
    }
    packetHandled();
}

void ServerImplementation::holdWhile(const std::function<void()>& restore)
{
    const bool wasHeld = hold_;
    hold_ = true;
    restore();
    hold_ = wasHeld;
    if (!wasHeld)
    {
        for (const auto& subscription : subscriptions_)
            sendSynchronize(subscription.get());
    }
}

ClientSubscription* ServerImplementation::findSubscription(uint32_t clientId) const
{
    for (const auto& subscription : subscriptions_)
    {
        if (subscription->clientId == clientId)
            return subscription.get();
    }
    return nullptr;
}

} // namespace Core::Portable
