#include "sim/SpeakerComponent.h"

#include "net/protocol/ParamPackets.h"
#include "sim/DummyComponent.h"
#include "sim/SpeakerDefinitions.h"

#include <memory>

namespace Vellaris::Tarn
{

using Core::Portable::Component;
using Core::Portable::IParamObserver;

namespace
{
constexpr int32_t kMuteTag = 3;
constexpr int32_t kMeterTag = 8;
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
