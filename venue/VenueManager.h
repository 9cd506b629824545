#pragma once

#include <string>

#include "speaker/VenueSide.h"
#include "tessel/ComponentSingleton.h"

namespace Vellaris
{

class Venue;

// Keeps the open venue and switches between the start page, the venue view and the network setup.
// One per process, named "VenueManager" below the root component.
//
// Parameters: "showVenue" (tag 100, on while a venue is shown) and "showNetwork" (tag 101, on while
// the Wi-Fi setup is shown; switching it on refreshes the Wi-Fi setup's list, and every change sets
// the speaker list's network setup mode). Skin: "://roomdesk/VenueManager/showNetwork". Children:
// the open venue "Venue", also reachable as "activeVenue" (after startup()).
//
// While a venue is shown it is saved every kSaveIntervalMs when what it would write differs from
// what it wrote last (rooms, placements, the placed speakers' settings), and when the manager
// terminates.
//
// It answers the speaker side's IVenueSide with the open venue's active room.
class VenueManager : public Tessel::Component,
                     public IVenueSide,
                     public Tessel::ComponentSingleton<VenueManager>
{
    TESSEL_DECLARE_CLASS(VenueManager)
public:
    static constexpr int32_t kShowVenueTag = 100;
    static constexpr int32_t kShowNetworkTag = 101;
    static constexpr int64_t kSaveIntervalMs = 3000;

    VenueManager();

    void* queryInterface(const Tessel::UID& iid) override;
    int retain() override { return Component::retain(); }
    int release() override { return Component::release(); }

    // Makes and initialises the open venue (once the speaker list exists, so the venue follows
    // it) and reopens the venue file written last, if there is one; starts the automatic saving.
    void startup();
    // The open venue (nullptr before startup()). Borrowed.
    Venue* getVenue() const { return venue; }
    // Reads `url` into the open venue and shows it; false (venue unchanged) when refused.
    bool loadVenue(const std::string& url);
    // The newest ".venue" file of the venues folder, or "".
    static std::string findLastVenueFile();

    // IVenueSide.
    bool isShowingVenue() const override;
    bool isShowingNetwork() const override;
    IActiveRoom* getActiveRoom() const override;
    void removeSpeakerFromRooms(const std::string& serial) override;
    void speakerGone(const std::string& serial, SpeakerNetworkItem* item) override;

    Tessel::Component* findChild(const std::string& childName) const override;
    bool terminate() override;
    // "showNetwork": on refreshes the Wi-Fi setup (when there is one); then the speaker list's
    // network setup mode follows the value (when the speaker list exists).
    void paramChanged(Tessel::IParameter* param) override;
    void notify(Tessel::ISubject* subject, const Tessel::Message& msg) override;

protected:
    ~VenueManager() override;

private:
    void saveTick();

    Tessel::IParameter* showVenue = nullptr;
    Tessel::IParameter* showNetwork = nullptr;
    Venue* venue = nullptr; // a child
    std::string lastSaved;  // the venue as written last
    bool saving = false;
};

} // namespace Vellaris
