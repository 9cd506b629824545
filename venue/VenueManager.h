#pragma once

#include "speaker/VenueSide.h"
#include "tessel/ComponentSingleton.h"

namespace Vellaris
{

// Keeps the open venue and the venue history, and switches between the start page, the venue view
// and the network setup. One per process, named "VenueManager" below the root component.
//
// Parameters: "showVenue" (tag 100, on while a venue is shown) and "showNetwork" (tag 101, on while
// the Wi-Fi setup is shown; switching it on refreshes the Wi-Fi setup's list, and every change sets
// the speaker list's network setup mode). Skin: "://roomdesk/VenueManager/showNetwork".
//
// It answers the speaker side's IVenueSide; until rooms exist there is no active room, so the
// speaker side's room rules stay inert.
class VenueManager : public Tessel::Component,
                     public IVenueSide,
                     public Tessel::ComponentSingleton<VenueManager>
{
    TESSEL_DECLARE_CLASS(VenueManager)
public:
    static constexpr int32_t kShowVenueTag = 100;
    static constexpr int32_t kShowNetworkTag = 101;

    VenueManager();

    void* queryInterface(const Tessel::UID& iid) override;
    int retain() override { return Component::retain(); }
    int release() override { return Component::release(); }

    // IVenueSide.
    bool isShowingVenue() const override;
    bool isShowingNetwork() const override;
    IActiveRoom* getActiveRoom() const override { return nullptr; }
    void removeSpeakerFromRooms(const std::string& serial) override {}
    void speakerGone(const std::string& serial, SpeakerNetworkItem* item) override {}

    // "showNetwork": on refreshes the Wi-Fi setup (when there is one); then the speaker list's
    // network setup mode follows the value (when the speaker list exists).
    void paramChanged(Tessel::IParameter* param) override;

protected:
    ~VenueManager() override;

private:
    Tessel::IParameter* showVenue = nullptr;
    Tessel::IParameter* showNetwork = nullptr;
};

} // namespace Vellaris
