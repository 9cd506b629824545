#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tessel/SharedPtr.h"
#include "tessel/UndoHistory.h"

namespace Vellaris
{

class SpeakerGroup;
class SpeakerPosition;
class SpeakerRoom;
class Venue;
class VenueManager;

// The arrangement of one room as objects: its groups in order with their type and title, and in
// each group its positions with their places. The positions are the same objects, so a position
// that comes back keeps its stored settings and its speaker.
struct RoomLayout
{
    struct Place
    {
        Tessel::SharedPtr<SpeakerPosition> position;
        int x = 0;
        int y = 0;
    };
    struct Group
    {
        Tessel::SharedPtr<SpeakerGroup> group;
        int type = 0;
        std::string title;
        std::vector<Place> places;
    };
    Tessel::SharedPtr<SpeakerRoom> room;
    std::vector<Group> groups;

    static RoomLayout capture(SpeakerRoom& room);
    bool sameAs(const RoomLayout& other) const;
    // Puts the room back into this arrangement: positions that leave let go of their speaker as a
    // removal does, positions that come back are bound again to their live speaker (the one they
    // held, or the speaker of their serial number that has come back since, which gets the stored
    // settings), the room applies its settings to them and updates.
    void restore(Venue& venue) const;
};

// Binds `position` to the live speaker of its serial number, as described for RoomLayout::restore.
void rebindPosition(Venue& venue, SpeakerPosition& position);

// A venue edit that changes where speakers stand or how rooms are grouped, made undoable: opens a
// transaction named `name` for its lifetime and takes the layout of every room at the start; at the
// end, the rooms whose layout changed are recorded as one command (nothing when none did). With a
// null venue it does nothing but the transaction.
class VenueLayoutEdit
{
public:
    VenueLayoutEdit(Venue* venue, const std::string& name);
    ~VenueLayoutEdit();
    VenueLayoutEdit(const VenueLayoutEdit&) = delete;
    VenueLayoutEdit& operator=(const VenueLayoutEdit&) = delete;

private:
    Tessel::SharedPtr<Venue> venue;
    std::string name;
    std::vector<RoomLayout> before;
    std::unique_ptr<Tessel::UndoTransaction> transaction;
};

// Adding and closing rooms made undoable: takes the venue's rooms and its active room at the start
// and records the change at the end (the closed rooms are kept by the history, so they come back
// as they were).
class VenueRoomsEdit
{
public:
    VenueRoomsEdit(Venue* venue, const std::string& name);
    ~VenueRoomsEdit();
    VenueRoomsEdit(const VenueRoomsEdit&) = delete;
    VenueRoomsEdit& operator=(const VenueRoomsEdit&) = delete;

private:
    Tessel::SharedPtr<Venue> venue;
    std::string name;
    std::vector<Tessel::SharedPtr<SpeakerRoom>> rooms;
    Tessel::SharedPtr<SpeakerRoom> active;
    std::unique_ptr<Tessel::UndoTransaction> transaction;
};

// Puts a step's value for a speaker that is off the network into the stored settings of its
// position in the open venue.
class VenueUndoLocator : public Tessel::IUndoParamLocator
{
public:
    // Registers with the installed history (nothing without one) until destroyed.
    explicit VenueUndoLocator(const VenueManager& manager);
    ~VenueUndoLocator() override;

    Claim identify(Tessel::IParameter*, Tessel::UndoParamKey&, std::string&) override
    {
        return Claim::NotMine;
    }
    Tessel::IParameter* resolve(const Tessel::UndoParamKey&) override { return nullptr; }
    bool storeOffline(const Tessel::UndoParamKey& key, const Tessel::Variant& value) override;

private:
    const VenueManager& manager;
    Tessel::SharedPtr<Tessel::UndoHistory> history;
};

} // namespace Vellaris
