#include "net/client/ClientRootComponent.h"

#include "model/formats/CurveRegistry.h"
#include "model/formats/FormatterRegistry.h"
#include "model/loader/JsonCodec.h"
#include "model/loader/ModelParamCurve.h"
#include "model/loader/ModelParamFormatter.h"
#include "net/client/MenuCommandHandler.h"
#include "net/protocol/MessageAttributes.h"
#include "net/protocol/MessageNames.h"
#include "net/protocol/ParamPackets.h"
#include "net/protocol/ParamPath.h"
#include "net/protocol/SynchronizeSender.h"
#include "tessel/Attributes.h"
#include "tessel/ISystem.h"
#include "tessel/ListParam.h"
#include "tessel/MenuParam.h"
#include "tessel/Platform.h"

namespace Vellaris::LK
{

TESSEL_DEFINE_CLASS(ClientRootComponent, RemoteComponent)

namespace
{

// The application's name as the speaker lists its clients.
constexpr const char* kApplicationName = "Ambrel";

// Each character outside ASCII becomes one "?" (UTF-8 continuation bytes are dropped).
std::string toAscii(const std::string& text)
{
    std::string result;
    for (unsigned char c : text)
    {
        if (c < 0x80)
            result += char(c);
        else if ((c & 0xC0) != 0x80)
            result += '?';
    }
    return result;
}

} // namespace

ClientRootComponent::ClientRootComponent(lknet::INetworkManager* network, lknet::IFileTransferManager* transfers)
    : ClientImplementation(network, transfers), lifeToken(std::make_shared<ClientRootComponent*>(this))
{
    if (this->network && this->network->registerClient(&client, this) != lknet::kOk)
        client = 0;

    Tessel::Attributes info;
    Tessel::ISystem* system = Tessel::GetSystem();
    system->getComputerInfo(info);
    clientType = info.getString("deviceModel");
    clientIdentifier = info.getString("deviceIdentifier");
    clientDescription = toAscii(system->getComputerName());
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

    server = newServer;
    network->setConnection(client, server, 1, subscribed ? 1 : 0);
    subscribed = true;
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
}

void ClientRootComponent::reconnect()
{
    if (server)
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
    }
    idleTick();
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
    return LK::sendMessage(*network, message, compressed ? MessageEncoding::Compressed : MessageEncoding::Plain);
}

void ClientRootComponent::pushValues()
{
    MessageAttributes synchronize(Message::kSynchronize);
    if (remoteLevel.empty())
        collectValues(*this, synchronize);
    else if (Tessel::Component* level = findChild(remoteLevel))
        collectValues(*level, synchronize);
    sendMessage(synchronize, true);
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
    case Tessel::ParamType::kString: {
        ParamStringPacket packet;
        buildStringPacket(packet, uint32_t(client), uint32_t(server), wirePath, 0, param->toString());
        sendPacket(packet.base.header);
        break;
    }
    case Tessel::ParamType::kColor: {
        ParamColorPacket packet;
        buildColorPacket(packet, uint32_t(client), uint32_t(server), wirePath, 0,
                         uint32_t(param->getValue().asInt()));
        sendPacket(packet.base.header);
        break;
    }
    default:
        sendValue(param, wirePath, param->getNormalized());
        break;
    }
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
    if (localPath.size() > remoteLevel.size() && localPath.substr(0, remoteLevel.size()) == remoteLevel
        && localPath[remoteLevel.size()] == '/')
        return std::string(localPath.substr(remoteLevel.size() + 1));
    return {};
}

std::string ClientRootComponent::fromWirePath(std::string_view wirePath) const
{
    if (remoteLevel.empty())
        return std::string(wirePath);
    if (wirePath.empty())
        return remoteLevel;
    return remoteLevel + "/" + std::string(wirePath);
}

Tessel::IParameter* ClientRootComponent::findWireParameter(std::string_view wirePath) const
{
    if (wirePath.empty())
        return nullptr;
    return lookupParameter(fromWirePath(wirePath));
}

// --- Receiving ------------------------------------------------------------------------------

int ClientRootComponent::handlePacket(int context, const lknet::Packet* packet)
{
    if (!packet)
        return 0;
    switch (packet->type)
    {
    case lknet::kPacketJsonMessage:
    case lknet::kPacketZipMessage:
        handleJsonPacket(packet);
        return 0;
    case lknet::kPacketParamValue:
    case lknet::kPacketParamString:
    case lknet::kPacketParamColor:
    case lknet::kPacketParamList:
    case lknet::kPacketParamRange:
        handleParamPacket(packet);
        return 0;
    case lknet::kPacketMetersByte:
    case lknet::kPacketMetersShort:
        handleMeterPacket(packet);
        return 0;
    case lknet::kPacketFileAck:
    case lknet::kPacketFileData:
        return transfers ? transfers->handlePacket(context, packet) : 0;
    default:
        return 0;
    }
}

void ClientRootComponent::receiveValue(Tessel::IParameter* param, float normalized)
{
    if (param->isFlag(Tessel::ParamFlags::kEditing))
        return;
    if (param->getType() == Tessel::ParamType::kFloat && isRecentlyReleased(param, Tessel::GetSystemTicks()))
        return;
    param->setNormalized(normalized, false);
}

void ClientRootComponent::handleParamPacket(const lknet::Packet* packet)
{
    if (!packetHolds<ParamPacketBase>(packet))
        return;
    Tessel::IParameter* param = findWireParameter(receivedPath(packet));
    if (!param || !param->isFlag(Tessel::ParamFlags::kPublic))
        return;

    switch (packet->type)
    {
    case lknet::kPacketParamValue:
        if (packetHolds<ParamValuePacket>(packet))
            receiveValue(param, reinterpret_cast<const ParamValuePacket*>(packet)->normalized);
        break;
    case lknet::kPacketParamString:
        if (packetHolds<ParamStringPacket>(packet))
            param->fromString(std::string(receivedText(packet)), false);
        break;
    case lknet::kPacketParamColor:
        if (packetHolds<ParamColorPacket>(packet) && param->getType() == Tessel::ParamType::kColor)
            param->setValue(Tessel::Variant((long long)reinterpret_cast<const ParamColorPacket*>(packet)->color),
                            false);
        break;
    case lknet::kPacketParamRange:
        if (packetHolds<ParamRangePacket>(packet))
        {
            const auto* range = reinterpret_cast<const ParamRangePacket*>(packet);
            applyRange(param, range->min, range->max, range->defaultValue, range->curveMid,
                       readTextField(range->units, sizeof(range->units)),
                       readTextField(range->curve, sizeof(range->curve)));
            receiveValue(param, range->normalized);
        }
        break;
    case lknet::kPacketParamList:
        if (packetHolds<ParamListPacket>(packet))
        {
            const auto* list = reinterpret_cast<const ParamListPacket*>(packet);
            std::string_view entries = readTextField(list->entries, sizeof(list->entries));
            std::vector<std::string> texts;
            while (!entries.empty())
            {
                const size_t end = entries.find('\n');
                texts.emplace_back(entries.substr(0, end));
                entries = end == std::string_view::npos ? std::string_view() : entries.substr(end + 1);
            }
            if (auto* listParam = dynamic_cast<Tessel::ListParam*>(param->getOriginal()))
                listParam->setEntries(texts);
            else
            {
                param->clearEntries();
                for (const std::string& text : texts)
                    param->appendEntry(text);
            }
            receiveValue(param, list->normalized);
        }
        break;
    default:
        break;
    }
}

void ClientRootComponent::handleJsonPacket(const lknet::Packet* packet)
{
    MessageAttributes message;
    if (!message.decode(packet) || message.messageId().empty())
        return;
    const std::string_view url = message.url();
    if (url.empty())
    {
        handleRootMessage(message);
        return;
    }
    Tessel::Component* target = lookupChild(fromWirePath(url));
    if (!target)
        return;
    Tessel::AutoPtr<Tessel::Attributes> attributes = new Tessel::Attributes;
    JsonCodec::toFramework(message, *attributes);
    Tessel::Message forwarded(std::string(message.messageId()));
    forwarded.addArg(Tessel::Variant(static_cast<Tessel::IUnknown*>(attributes.get())));
    target->notify(this, forwarded);
}

bool ClientRootComponent::handleRootMessage(const MessageAttributes& message)
{
    const std::string_view id = message.messageId();
    if (id == Message::kSynchronize)
    {
        if (remoteLevel.empty())
            applySynchronize(*this, message);
        else if (Tessel::Component* level = findChild(remoteLevel))
            applySynchronize(*level, message);
        return true;
    }
    if (id == Message::kSubscriptionReply)
        return true;
    if (id == Message::kSubscriptionLost)
    {
        reconnect();
        return true;
    }
    if (id == Message::kUpdateMenu)
    {
        handleUpdateMenu(message);
        return true;
    }
    return false;
}

void ClientRootComponent::handleUpdateMenu(const MessageAttributes& message)
{
    const std::string wirePath(message.getText(Message::kParamName));
    Tessel::IParameter* param = findWireParameter(wirePath);
    auto* menu = param ? dynamic_cast<Tessel::MenuParam*>(param->getOriginal()) : nullptr;
    if (!menu)
        return;
    // A fresh handler bound to this root and path; setMenu signals "menuChanged" to the views.
    Tessel::AutoPtr<MenuCommandHandler> handler = new MenuCommandHandler(lifeToken, wirePath);
    menu->setMenu(menu->getMenuItems(), handler);
}

// --- Ranges ---------------------------------------------------------------------------------

void ClientRootComponent::applyRange(Tessel::IParameter* param, double min, double max, double def, double mid,
                                     std::string_view units, std::string_view curve)
{
    if (!param)
        return;
    param->setCurve(nullptr);
    if (auto* plain = dynamic_cast<Tessel::Parameter*>(param->getOriginal()))
        plain->setRange(min, max);
    else
    {
        param->setMin(Tessel::Variant(min));
        param->setMax(Tessel::Variant(max));
    }
    param->setDefaultValue(Tessel::Variant(def));

    Core::Formatter* formatter = units.empty() ? nullptr : Core::findFormatter(std::string(units).c_str());
    if (formatter)
    {
        Tessel::AutoPtr<ModelParamFormatter> wrapper = new ModelParamFormatter(*formatter);
        param->setFormatter(wrapper);
    }
    else
        param->setFormatter(nullptr);

    std::unique_ptr<Core::Interpolator> newCurve =
        curve.empty() ? nullptr : Core::createCurve(std::string(curve).c_str());
    if (newCurve)
    {
        newCurve->setRange(float(min), float(max), float(mid));
        Tessel::AutoPtr<ModelParamCurve> wrapper = new ModelParamCurve(std::move(newCurve), std::string(curve));
        param->setCurve(wrapper);
    }
}

} // namespace Vellaris::LK
