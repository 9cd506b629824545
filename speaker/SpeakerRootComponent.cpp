#include "speaker/SpeakerRootComponent.h"

#include "speaker/SpeakerComponent.h"
#include "tessel/Platform.h"

namespace Vellaris::LK
{

TESSEL_DEFINE_CLASS(SpeakerRootComponent, ClientRootComponent)

SpeakerRootComponent::SpeakerRootComponent(lknet::INetworkManager* network,
                                           lknet::IFileTransferManager* transfers)
    : ClientRootComponent(network, transfers)
{
    setRemoteLevel(kSpeakerName);
    speaker = new SpeakerComponent;
    speaker->setName(kSpeakerName);
    addChild(speaker);
}

SpeakerRootComponent::~SpeakerRootComponent() = default;

void SpeakerRootComponent::remoteParamChanged(Tessel::Component* owner, Tessel::IParameter* param)
{
    if (param && param->isFlag(Tessel::ParamFlags::kPublic) && param->isFlag(Tessel::ParamFlags::kStorable))
        lastChangeTicks = Tessel::GetSystemTicks();
    ClientRootComponent::remoteParamChanged(owner, param);
}

void SpeakerRootComponent::handleMeterPacket(const lknet::Packet* packet)
{
    if (speaker)
        speaker->handleMeterPacket(packet);
}

} // namespace Vellaris::LK
