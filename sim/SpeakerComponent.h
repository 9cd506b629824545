#pragma once

#include "sim/ServerRootComponent.h"

#include <cstdint>
#include <random>

namespace Vellaris::Tarn
{

// The emulated speaker served at the root: the "Speaker" parameters, then
// "line" holding "ch1" (the "Channel" parameters) with "limit", "eq", "notch"
// and "geq". Its idle tick animates the channel meter while anyone listens.
class SpeakerComponent : public Core::Portable::ServerRootComponent
{
public:
    // The level stays within 0..kMaxMeterLevel while not muted.
    static constexpr float kMaxMeterLevel = 0.1f;

    // A speaker tree of its own (tests); the program uses instance().
    SpeakerComponent(lknet::INetworkManager* network, lknet::IFileTransferManager* fileTransfer);
    ~SpeakerComponent() override;

    // The process-wide speaker, created on first use (without network; attach
    // it with server().setNetwork) and deleted at process exit.
    static SpeakerComponent& instance();

    // Meter animation ("PV" for the meter and one "MB" per tick while
    // subscribed), then time-outs and the children's ticks.
    void idle() override;
    // Performing is not published; everything else goes to publishing.
    void paramChanged(Core::Portable::Parameter* parameter, int code) override;

    Core::Portable::Parameter* muteParameter() const { return mute_; }
    Core::Portable::Parameter* meterParameter() const { return meter_; }
    // Seeds the meter's random source (tests).
    void seedMeter(uint32_t seed) { random_.seed(seed); }

private:
    Core::Portable::Parameter* mute_ = nullptr;
    Core::Portable::Parameter* meter_ = nullptr;
    std::minstd_rand random_;
};

} // namespace Vellaris::Tarn
