#pragma once

#include <cstdint>

#include "mirror/ClientRootComponent.h"

namespace Vellaris
{
class SpeakerComponent;
}

namespace Vellaris::LK
{

// The client root of one speaker on the network, made and owned by that speaker's network item.
// Its name is empty and its only child is the SpeakerComponent named "Speaker", so local paths read
// "Speaker/line/ch1/volume" while the speaker itself knows "line/ch1/volume". Meter packets go to
// the speaker component. Registered with the class factory as "SpeakerRootComponent".
class SpeakerRootComponent : public ClientRootComponent
{
    TESSEL_DECLARE_CLASS(SpeakerRootComponent)
public:
    // Name of the speaker component below the root, and the remote level of the paths.
    static constexpr const char* kSpeakerName = "Speaker";

    // Creates the speaker component (built from the component model) as the only child.
    explicit SpeakerRootComponent(lknet::INetworkManager* network = nullptr,
                                  lknet::IFileTransferManager* transfers = nullptr);

    // The speaker component (never null; owned by this root).
    SpeakerComponent* getSpeaker() const { return speaker; }
    // Ticks of the last local change of a public, storable parameter (0: none yet).
    int64_t lastChange() const { return lastChangeTicks; }

    void remoteParamChanged(Tessel::Component* owner, Tessel::IParameter* param) override;

protected:
    ~SpeakerRootComponent() override;
    void handleMeterPacket(const lknet::Packet* packet) override;

private:
    SpeakerComponent* speaker = nullptr;
    int64_t lastChangeTicks = 0;
};

} // namespace Vellaris::LK
