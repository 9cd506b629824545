#include "tarnsim/SpeakerComponent.h"

#include "protocol/MessageAttributes.h"
#include "protocol/MessageNames.h"
#include "protocol/ParamPackets.h"
#include "tarnsim/DummyComponent.h"
#include "tarnsim/Report.h"
#include "tarnsim/SpeakerDefinitions.h"
#include "tarnsim/WifiSimulation.h"

#include <memory>

namespace Vellaris::Tarn
{

using Core::Portable::Component;
using Core::Portable::IParamObserver;

namespace
{
constexpr int32_t kMuteTag = 3;
constexpr int32_t kMeterTag = 8;
constexpr const char* kNetworkList = "networklist";
constexpr const char* kCurrentSsid = "current_ssid";
// How clients address the device itself.
constexpr const char* kDeviceUrl = "Speaker";
} // namespace

SpeakerComponent::SpeakerComponent(lknet::INetworkManager* network, lknet::IFileTransferManager* fileTransfer)
    : ServerRootComponent(network, fileTransfer)
{
    addParameters(Definitions::kSpeaker);
    Component* line = addChild(std::make_unique<DummyComponent>("line"));
    Component* channel = line->addChild(std::make_unique<DummyComponent>("ch1"));
    channel->addParameters(Definitions::kChannel);
    channel->addChild(std::make_unique<DummyComponent>("limit"))->addParameters(Definitions::kLimiter);
    channel->addChild(std::make_unique<DummyComponent>("eq"))->addParameters(Definitions::kEq8);
    channel->addChild(std::make_unique<DummyComponent>("notch"))->addParameters(Definitions::kNotchEq);
    channel->addChild(std::make_unique<DummyComponent>("geq"))->addParameters(Definitions::kGEQ);
    mute_ = channel->findParameterByTag(kMuteTag);
    meter_ = channel->findParameterByTag(kMeterTag);
}

SpeakerComponent::~SpeakerComponent() = default;

SpeakerComponent& SpeakerComponent::instance()
{
    static std::unique_ptr<SpeakerComponent> speaker(new SpeakerComponent(nullptr, nullptr));
    return *speaker;
}

void SpeakerComponent::idle()
{
    // The meter's parameter value and its meter record leave together: one write per subscriber.
    lknet::WriteBatch batch(server().network());
    if (server().hasSubscriptions() && mute_ && meter_)
    {
        float level = 0.0f;
        if (mute_->getValue() != 1.0f)
        {
            std::uniform_real_distribution<float> distribution(0.0f, kMaxMeterLevel);
            level = distribution(random_);
        }
        meter_->setNormalized(level, false);

        Vellaris::LK::MeterPacket packet;
        Vellaris::LK::buildByteMeterPacket(packet, server().handle(), 0);
        packet.valueCount = 1;
        packet.groupCount = 0;
        packet.values[0] = static_cast<uint8_t>(meter_->getNormalized() * 255.0f);
        if (lknet::INetworkManager* network = server().network())
            network->sendMeters(&packet.header);
    }
    ServerRootComponent::idle();
}

void SpeakerComponent::paramChanged(Core::Portable::Parameter* parameter, int code)
{
    if (code == IParamObserver::kPerformed)
        return;
    ServerRootComponent::paramChanged(parameter, code);
}

} // namespace Vellaris::Tarn

namespace Vellaris::Tarn
{

void SpeakerComponent::handleMessage(Vellaris::LK::MessageAttributes& message)
{
    ServerRootComponent::handleMessage(message);
    if (wifi_ && wifi_->isEnabled() && message.messageId() == Vellaris::LK::Message::kSubscribe &&
        server().findSubscription(message.sourceId))
        sendNetworkList(message.sourceId);
}

void SpeakerComponent::sendNetworkList(uint32_t clientId)
{
    Core::Portable::Parameter* list = findParameter(kNetworkList);
    lknet::INetworkManager* network = server().network();
    if (!wifi_ || !list || !network)
        return;
    Vellaris::LK::ParamListPacket packet;
    const std::string entries = wifi_->listText(sizeof(packet.entries));
    Vellaris::LK::buildListPacket(packet, server().handle(), clientId, paramPath(*list), 0, 0.0f, entries);
    network->send(&packet.base.header, 0);
}

void SpeakerComponent::handleUnroutedMessage(Vellaris::LK::MessageAttributes& message)
{
    namespace M = Vellaris::LK::Message;
    if (!wifi_ || !wifi_->isEnabled() || message.url() != kDeviceUrl ||
        message.messageId() != M::kRequestNetworkChange || !server().findSubscription(message.sourceId))
        return;
    // The password is read by nobody here: a real speaker would hand it to its Wi-Fi module.
    const std::string ssid = wifi_->requestChange(message.getText(M::kRequestNetworkSSID));
    Core::Portable::report("Joining Wi-Fi network \"%s\": leaving the network for %d s", ssid.c_str(),
                           static_cast<int>(WifiSimulation::kAwayMs / 1000));
    if (Core::Portable::Parameter* current = findParameter(kCurrentSsid))
        current->fromText(ssid.c_str(), true);
}

} // namespace Vellaris::Tarn
