#pragma once

#include <string>

#include "tessel/IUnknown.h"

namespace Vellaris
{

class SpeakerComponent;
class SpeakerNetworkItem;

// What the speaker side asks of the room the user is working in (the venue's active room). The
// venue library implements it; the speaker library only calls it.
class IActiveRoom : public virtual Tessel::IUnknown
{
public:
    static constexpr Tessel::UID kIID{0x7E55E200, 0x0001, 0x4000, 0x80, 0x00, 0x00,
                                      0x00,       0x00,   0x00,   0x02, 0x01};

    // Whether the room is locked: its speakers can then be neither dragged nor rearranged.
    virtual bool isLocked() const = 0;
    // Whether a position of the room is bound to `speaker`.
    virtual bool holdsSpeaker(const SpeakerComponent* speaker) const = 0;
    // Solos `speaker` in the room (on) or ends its solo (off).
    virtual void setSolo(SpeakerComponent* speaker, bool on) = 0;
    // Ends the room's solo, whichever speaker holds it (nothing when none does).
    virtual void unsolo() = 0;

protected:
    ~IActiveRoom() override = default;
};

// What the speaker side asks of the venue side: the component named kComponentName below the root
// answers it through unknownCast. Without one (a tool or test without venues) every caller stays
// inert: findVenueSide() answers nullptr.
class IVenueSide : public virtual Tessel::IUnknown
{
public:
    static constexpr Tessel::UID kIID{0x7E55E200, 0x0002, 0x4000, 0x80, 0x00, 0x00,
                                      0x00,       0x00,   0x00,   0x02, 0x02};
    static constexpr const char* kComponentName = "VenueManager";

    // Whether a venue is shown (the floor plan rather than the start page).
    virtual bool isShowingVenue() const = 0;
    // Whether the Wi-Fi network setup is shown.
    virtual bool isShowingNetwork() const = 0;
    // The active room of the open venue, or nullptr. Borrowed.
    virtual IActiveRoom* getActiveRoom() const = 0;
    // Takes the speaker with this serial number out of every room of the venue.
    virtual void removeSpeakerFromRooms(const std::string& serial) = 0;
    // The speaker item `item` (serial number `serial`) left the network; the rooms keep its place.
    virtual void speakerGone(const std::string& serial, SpeakerNetworkItem* item) = 0;

protected:
    ~IVenueSide() override = default;
};

// The venue side of the running program, or nullptr when there is none. Borrowed.
IVenueSide* findVenueSide();
// The venue side's active room, or nullptr when there is no venue side or no active room.
IActiveRoom* findActiveRoom();

} // namespace Vellaris
