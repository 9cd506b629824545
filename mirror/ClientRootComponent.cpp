#include "mirror/ClientRootComponent.h"

#include "protocol/AsciiText.h"

#include "protocol/MessageAttributes.h"
#include "protocol/MessageNames.h"
#include "protocol/ParamPackets.h"
#include "protocol/SynchronizeSender.h"
#include "tessel/Attributes.h"
#include "tessel/ISystem.h"
#include "tessel/Platform.h"

namespace Vellaris::LK
{

TESSEL_DEFINE_CLASS(ClientRootComponent, RemoteComponent)

namespace
{

// The application's name as the speaker lists its clients.
constexpr const char* kApplicationName = "Ambrel";

} // namespace

ClientRootComponent::ClientRootComponent(lknet::INetworkManager* network,
                                         lknet::IFileTransferManager* transfers)
    : ClientImplementation(network, transfers), lifeToken(std::make_shared<ClientRootComponent*>(this))
{
    if (this->network && this->network->registerClient(&client, this) != lknet::kOk)
        client = 0;

    Tessel::Attributes info;
    Tessel::ISystem* system = Tessel::GetSystem();
    system->getComputerInfo(info);
    clientType = info.getString("deviceModel");
    clientIdentifier = info.getString("deviceIdentifier");
    clientDescription = LK::toAscii(system->getComputerName());
    clientName = kApplicationName;
}

ClientRootComponent::~ClientRootComponent()
{
    *lifeToken = nullptr;
    if (network)
        network->unregisterClient(this);
}

// --- Subscription ---------------------------------------------------------------------------

void ClientRootComponent::connect(int newServer)
{
    MessageAttributes subscribe(Message::kSubscribe);
    subscribe.setText(Message::kClientName, clientName);
    subscribe.setText(Message::kClientType, clientType);
    subscribe.setText(Message::kClientDescription, clientDescription);
    subscribe.setText(Message::kClientIdentifier, clientIdentifier);

    if (newServer != server)
    {
        wireForm = WireForm::Unknown; // another speaker: its form is yet to be seen
        wirePathCache.clear();
        inFlight.forget();
    }
    server = newServer;
    network->setConnection(client, server, 1, subscribed ? 1 : 0);
    subscribed = true;
    inFlight.subscribing();
    sendMessage(subscribe, false);
}

void ClientRootComponent::disconnect(bool sendUnsubscribe)
{
    if (sendUnsubscribe && server)
    {
        MessageAttributes unsubscribe(Message::kUnsubscribe);
        // The connection is switched off first: the library still delivers what is sent right
        // after, and nothing else goes out once the speaker has read the goodbye.
        network->setConnection(client, server, 0, subscribed ? 1 : 0);
        subscribed = false;
        sendMessage(unsubscribe, false);
    }
    if (transfers)
        transfers->cancelTransfers(client, 0);
    server = 0;
    wireForm = WireForm::Unknown;
    wirePathCache.clear();
    inFlight.forget();
}

void ClientRootComponent::reconnect()
{
    if (!server)
        return;
    // The connection or the subscription was lost: no answer to an earlier "Subscribe" and no echo
    // of an earlier change is coming any more.
    inFlight.forget();
    connect(server);
}

void ClientRootComponent::onIdle()
{
    const int64_t now = Tessel::GetSystemTicks();
    if (server && now - lastKeepAlive > kKeepAliveIdleMs)
    {
        lknet::Packet keepAlive;
        buildKeepAlivePacket(keepAlive, uint32_t(client), uint32_t(server));
        network->send(&keepAlive, 0);
        lastKeepAlive = now;
        inFlight.expire(now);
    }
    // Components with idle work (meters while they move) have idle tasks of their own; the tree
    // is not walked here.
}

// --- Sending --------------------------------------------------------------------------------

int ClientRootComponent::sendPacket(lknet::Packet& packet)
{
    return network->send(&packet, 0);
}

int ClientRootComponent::sendMessage(MessageAttributes& message, bool compressed)
{
    message.sourceId = uint32_t(client);
    message.destinationId = uint32_t(server);
    return LK::sendMessage(*network, message,
                           compressed ? MessageEncoding::Compressed : MessageEncoding::Plain);
}

void ClientRootComponent::pushValues()
{
    MessageAttributes synchronize(Message::kSynchronize);
    if (remoteLevel.empty())
        collectValues(*this, synchronize);
    else if (Tessel::Component* level = findChild(remoteLevel))
    {
        if (sendsLevel())
        {
            Core::Portable::Attributes below;
            if (collectValues(*level, below))
                synchronize.setAttributes(Message::kChildren).setAttributes(remoteLevel, below);
        }
        else
            collectValues(*level, synchronize);
    }
    sendMessage(synchronize, true);
    inFlight.sentEverything();
}

void ClientRootComponent::sendValue(Tessel::IParameter* param, const std::string& wirePath, double normalized)
{
    ParamValuePacket packet;
    buildValuePacket(packet, uint32_t(client), uint32_t(server), wirePath, 0, float(normalized));
    sendPacket(packet.base.header);
}

void ClientRootComponent::remoteParamChanged(Tessel::Component* owner, Tessel::IParameter* param)
{
    if (!owner || !param || !param->isFlag(Tessel::ParamFlags::kPublic) || !server)
        return;
    const std::string wirePath = toWirePath(owner->getParameterPath(param));
    if (wirePath.empty())
        return;
    switch (param->getType())
    {
    case Tessel::ParamType::kString:
    {
        ParamStringPacket packet;
        buildStringPacket(packet, uint32_t(client), uint32_t(server), wirePath, 0, param->toString());
        sendPacket(packet.base.header);
        break;
    }
    case Tessel::ParamType::kColor:
    {
        ParamColorPacket packet;
        buildColorPacket(packet, uint32_t(client), uint32_t(server), wirePath, 0,
                         uint32_t(param->getValue().asInt()));
        sendPacket(packet.base.header);
        break;
    }
    default:
    {
        const float normalized = float(param->getNormalized());
        sendValue(param, wirePath, normalized);
        inFlight.sentValue(param, normalized, Tessel::GetSystemTicks());
        break;
    }
    }
    inFlight.sent(param, owner);
}

void ClientRootComponent::remoteParamEdit(Tessel::Component*, Tessel::IParameter* param, bool begin)
{
    if (!param)
        return;
    param->setFlag(Tessel::ParamFlags::kEditing, begin);
    if (!begin)
        rememberRelease(param, Tessel::GetSystemTicks());
}

void ClientRootComponent::remoteParamPreview(Tessel::Component* owner, Tessel::IParameter* param,
                                             const Tessel::ParamPreviewEvent& event)
{
    if (!owner || !param || !param->isFlag(Tessel::ParamFlags::kPublic))
        return;
    const std::string wirePath = toWirePath(owner->getParameterPath(param));
    if (wirePath.empty())
        return;
    if (event.kind == Tessel::ParamPreviewEvent::kDragValue)
    {
        // The speaker's echo sets the parameter, so it must not be held off as being edited.
        param->setFlag(Tessel::ParamFlags::kEditing, false);
        if (server)
            sendValue(param, wirePath, param->getValueNormalized(Tessel::Variant(event.value)));
    }
    else if (event.kind == Tessel::ParamPreviewEvent::kText && param->getType() == Tessel::ParamType::kString)
    {
        MessageAttributes request(Message::kUpdateMenu);
        request.setText(Message::kParamName, wirePath);
        if (server)
            sendMessage(request, false);
    }
}

void ClientRootComponent::rememberRelease(Tessel::IParameter* param, int64_t now)
{
    for (auto it = recentlyReleased.begin(); it != recentlyReleased.end(); ++it)
    {
        if (it->param.get() == param)
        {
            recentlyReleased.erase(it);
            break;
        }
    }
    if (recentlyReleased.size() >= kMaxRecentlyReleased)
        recentlyReleased.pop_front();
    recentlyReleased.push_back({Tessel::SharedPtr<Tessel::IParameter>(param), now});
}

bool ClientRootComponent::isRecentlyReleased(const Tessel::IParameter* param, int64_t now) const
{
    for (const Released& entry : recentlyReleased)
    {
        if (entry.param.get() == param && now - entry.ticks < kReleaseGuardMs)
            return true;
    }
    return false;
}

// --- Paths ----------------------------------------------------------------------------------

std::string ClientRootComponent::toWirePath(std::string_view localPath) const
{
    if (remoteLevel.empty())
        return std::string(localPath);
    if (localPath == remoteLevel)
        return {};
    if (localPath.size() > remoteLevel.size() && localPath.substr(0, remoteLevel.size()) == remoteLevel &&
        localPath[remoteLevel.size()] == '/')
        return std::string(sendsLevel() ? localPath : localPath.substr(remoteLevel.size() + 1));
    return {};
}

std::string ClientRootComponent::fromWirePath(std::string_view wirePath) const
{
    if (remoteLevel.empty() || sendsLevel())
        return std::string(wirePath);
    if (wirePath.empty())
        return remoteLevel;
    return remoteLevel + "/" + std::string(wirePath);
}

Tessel::IParameter* ClientRootComponent::findWireParameter(std::string_view wirePath) const
{
    if (wirePath.empty())
        return nullptr;
    if (Tessel::IParameter* cached = findCachedWireParameter(wirePath))
        return cached;
    const std::string localPath = fromWirePath(wirePath);
    const size_t slash = localPath.rfind('/');
    Tessel::Component* owner = slash == std::string::npos ? const_cast<ClientRootComponent*>(this)
                                                          : lookupChild(localPath.substr(0, slash));
    Tessel::IParameter* param =
        owner ? owner->findParameter(slash == std::string::npos ? localPath : localPath.substr(slash + 1))
              : nullptr;
    if (!param)
        return nullptr;
    WirePathEntry entry{std::string(wirePath), Tessel::SharedPtr<Tessel::IParameter>(param), owner,
                        param->getController()};
    if (wirePathCache.size() < kWirePathCacheSize)
        wirePathCache.push_back(std::move(entry));
    else
        wirePathCache[wirePathNext++ % kWirePathCacheSize] = std::move(entry);
    return param;
}

Tessel::IParameter* ClientRootComponent::findCachedWireParameter(std::string_view wirePath) const
{
    for (WirePathEntry& entry : wirePathCache)
    {
        if (entry.wirePath != wirePath)
            continue;
        // Still in this tree: still connected to its component (a removed or replaced parameter is
        // not, nor are those of a component that went), and the component still hangs below this
        // root.
        if (entry.controller && entry.param->getController() == entry.controller)
        {
            const Tessel::Component* up = entry.owner;
            while (up && up != this)
                up = up->getParent();
            if (up == this)
                return entry.param.get();
        }
        entry.wirePath.clear(); // stale: looked up again below
        return nullptr;
    }
    return nullptr;
}

void ClientRootComponent::learnWireForm(const MessageAttributes& synchronize)
{
    if (wireForm != WireForm::Unknown || remoteLevel.empty())
        return;
    // The levelled form holds nothing at the top but the level's object among "children".
    const Core::Portable::Attributes* values = synchronize.getAttributes(Message::kValues);
    const Core::Portable::Attributes* children = synchronize.getAttributes(Message::kChildren);
    const Core::Portable::Attributes* below = children ? children->getAttributes(remoteLevel) : nullptr;
    const Tessel::Component* level = findChild(remoteLevel);
    const bool levelHasSuchChild = level && level->findChild(remoteLevel);
    wireForm =
        below && (!values || values->isEmpty()) && !levelHasSuchChild ? WireForm::Levelled : WireForm::AtRoot;
    wirePathCache.clear(); // the same wire path now means another local one
}

} // namespace Vellaris::LK
