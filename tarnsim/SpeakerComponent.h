#pragma once

#include "tarnsim/ServerRootComponent.h"

#include <cstdint>
#include <random>

namespace Vellaris::Tarn
{

class WifiSimulation;

// The emulated speaker served at the root: the "Speaker" parameters, then
// "line" holding "ch1" (the "Channel" parameters) with "limit", "eq", "notch"
// and "geq". Its idle tick animates the channel meter while anyone listens.
// With a Wi-Fi simulation it sends each new subscriber the networks it sees (as the list entries
// of "networklist", right after the subscription's "Synchronize") and takes join requests
// ("requestNetworkChange" addressed to "Speaker"): one console line naming the network (never
// the password), "current_ssid" set, and the simulation leaves the network and comes back.
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
    // The root messages; after a "Subscribe" the Wi-Fi networks go to the new subscriber.
    void handleMessage(Vellaris::LK::MessageAttributes& message) override;
    // "requestNetworkChange" addressed to "Speaker" from a subscriber, while there is a Wi-Fi
    // simulation; everything else is ignored.
    void handleUnroutedMessage(Vellaris::LK::MessageAttributes& message) override;

    // The Wi-Fi simulation (borrowed; null: none, the speaker sees no networks).
    void setWifi(WifiSimulation* wifi) { wifi_ = wifi; }
    // Sends the Wi-Fi networks as the entries of "networklist" to one client.
    void sendNetworkList(uint32_t clientId);

    Core::Portable::Parameter* muteParameter() const { return mute_; }
    Core::Portable::Parameter* meterParameter() const { return meter_; }
    // Seeds the meter's random source (tests).
    void seedMeter(uint32_t seed) { random_.seed(seed); }

private:
    Core::Portable::Parameter* mute_ = nullptr;
    Core::Portable::Parameter* meter_ = nullptr;
    WifiSimulation* wifi_ = nullptr;
    std::minstd_rand random_;
};

} // namespace Vellaris::Tarn
