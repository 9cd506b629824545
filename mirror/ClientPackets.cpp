// The client root's handling of what the speaker sends: parameter packets, JSON messages, menus
// and range replacement.

#include <cmath>

#include "formats/CurveRegistry.h"
#include "formats/FormatterRegistry.h"
#include "mirror/ClientRootComponent.h"
#include "model/JsonCodec.h"
#include "model/ModelParamCurve.h"
#include "model/ModelParamFormatter.h"

#include "core/AttributeQueue.h"
#include "mirror/MenuCommandHandler.h"
#include "protocol/MessageAttributes.h"
#include "protocol/MessageNames.h"
#include "protocol/ParamPackets.h"
#include "protocol/ParamPath.h"
#include "tessel/Attributes.h"
#include "tessel/ListParam.h"
#include "tessel/MenuParam.h"
#include "tessel/Platform.h"
#include "tessel/UndoHistory.h"

namespace Vellaris::LK
{

namespace
{

// Toggle, integer and float parameters have a range of their own; lists take theirs from their
// entries, texts and colours have none.
bool hasPlainRange(const Tessel::IParameter* param)
{
    const int type = param->getType();
    return type == Tessel::ParamType::kToggle || type == Tessel::ParamType::kInteger ||
           type == Tessel::ParamType::kFloat;
}

} // namespace

// --- Receiving ------------------------------------------------------------------------------

int ClientRootComponent::handlePacket(int context, const lknet::Packet* packet)
{
    if (!packet)
        return 0;
    // What the speaker sends is its own change, never this desk's: the values it sets and every
    // change they cause locally stay out of the undo history.
    Tessel::UndoHistory::Suspend fromNetwork;
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
    if (param->getType() == Tessel::ParamType::kString || !std::isfinite(normalized))
        return;
    // Taken into account whatever follows, so the awaited echoes stay in step with the speaker's.
    if (inFlight.isOutdatedEcho(param, normalized))
        return;
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
            param->setValue(
                Tessel::Variant((long long)reinterpret_cast<const ParamColorPacket*>(packet)->color), false);
        break;
    case lknet::kPacketParamRange:
        if (packetHolds<ParamRangePacket>(packet) && hasPlainRange(param))
        {
            const auto* range = reinterpret_cast<const ParamRangePacket*>(packet);
            if (applyRange(param, range->min, range->max, range->defaultValue, range->curveMid,
                           readTextField(range->units, sizeof(range->units)),
                           readTextField(range->curve, sizeof(range->curve))))
                receiveValue(param, range->normalized);
        }
        break;
    case lknet::kPacketParamList:
        if (packetHolds<ParamListPacket>(packet) && param->getType() == Tessel::ParamType::kList)
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
        receiveSynchronize(message);
        return true;
    }
    if (id == Message::kSubscriptionReply)
    {
        inFlight.subscriptionAnswered();
        return true;
    }
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

void ClientRootComponent::receiveSynchronize(const MessageAttributes& message)
{
    const WireForm assumed = wireForm;
    learnWireForm(message);
    KeepsOwnValue keeps;
    if (inFlight.hasChangesSinceSubscribe())
        keeps = [this](const Tessel::IParameter* param) { return inFlight.keepsOwnValue(param); };
    if (remoteLevel.empty())
        applySynchronize(*this, message, keeps);
    else if (Tessel::Component* level = findChild(remoteLevel))
    {
        if (!sendsLevel())
            applySynchronize(*level, message, keeps);
        else if (const Core::Portable::Attributes* children = message.getAttributes(Message::kChildren))
        {
            if (const Core::Portable::Attributes* below = children->getAttributes(remoteLevel))
                applySynchronize(*level, *below, keeps);
        }
    }
    // Changes sent before the form was known went out at the speaker's root, where this speaker
    // has none of them: they go again, now under the level.
    if (assumed == WireForm::Unknown && sendsLevel())
    {
        if (inFlight.sentEverythingSinceSubscribe())
            pushValues();
        inFlight.forEachListed([this](Tessel::Component* owner, Tessel::IParameter* param)
                               { ClientRootComponent::remoteParamChanged(owner, param); });
    }
}

void ClientRootComponent::handleUpdateMenu(const MessageAttributes& message)
{
    const std::string wirePath(message.getText(Message::kParamName));
    Tessel::IParameter* param = findWireParameter(wirePath);
    auto* menu = param ? dynamic_cast<Tessel::MenuParam*>(param->getOriginal()) : nullptr;
    if (!menu)
        return;
    // A fresh menu: the entries the speaker lists (the old ones only when it lists none at all),
    // with a handler bound to this root and path; setMenu signals "menuChanged" to the views.
    std::vector<Tessel::MenuParam::Item> items;
    if (const Core::Portable::AttributeQueue* listed = message.getQueue(Message::kMenuItems))
    {
        for (const Core::Portable::AttributeValue& value : *listed)
        {
            const Core::Portable::Attributes* entry = value.attributes();
            if (!entry)
                continue;
            items.push_back({std::string(entry->getText(Message::kTitle)),
                             std::string(entry->getText(Message::kCommandCategory)),
                             std::string(entry->getText(Message::kCommandName))});
        }
    }
    else
        items = menu->getMenuItems();
    Tessel::AutoPtr<MenuCommandHandler> handler = new MenuCommandHandler(lifeToken, wirePath);
    menu->setMenu(items, handler);
}

// --- Ranges ---------------------------------------------------------------------------------

bool ClientRootComponent::applyRange(Tessel::IParameter* param, double min, double max, double def,
                                     double mid, std::string_view units, std::string_view curve)
{
    // A range from the network that cannot be one is dropped whole.
    if (!param || !hasPlainRange(param) || !std::isfinite(min) || !std::isfinite(max) || min > max ||
        !std::isfinite(def) || !std::isfinite(mid))
        return false;
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
        Tessel::AutoPtr<ModelParamCurve> wrapper =
            new ModelParamCurve(std::move(newCurve), std::string(curve));
        param->setCurve(wrapper);
    }
    return true;
}

} // namespace Vellaris::LK
