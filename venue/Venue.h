#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "mirror/ItemListModel.h"
#include "tessel/CommandDispatcher.h"
#include "tessel/Component.h"
#include "tessel/SharedPtr.h"
#include "venue/SpeakerRoom.h"

namespace Tessel
{
class Attributes;
class CommandParam;
class CommandParamList;
class ListParam;
class StringParam;
} // namespace Tessel

namespace Vellaris
{

class RoomEditView;
class SpeakerNetworkManager;

// The user's description of one installation ("Venue"): its rooms in order, each holding groups of
// speaker positions. The rooms are children of the venue; one of them is active while the list is
// not empty.
//
// Parameters: "roomList" (tag 100; entries: the room titles, value: the active room's index;
// choosing an entry activates that room), "venueName" (tag 102, storable), command parameters
// "newRoom", "saveRoom", "closeRoom", "configureRoom", "loadRoom" (category "File": "New", "Save",
// "Close", "Mono", "Load") and one command parameter "closeRoom[i]" per room that sends "Close"
// with the argument "closeRoom" = the roomID of the room at index i. Properties "isConfigured", "numRooms",
// "hasRooms", "activeRoomID", "closeRoomPending". Children by name: "activeRoom", "room[N]" (the room at
// index N) and a room's roomID text.
//
// Offline alarm: a placed speaker that leaves the network while the venue is open keeps the time it
// left on its position (SpeakerPosition::getOfflineSince) until it returns. Properties
// "offlineCount" (how many placed speakers are offline), "offlineMessage" (the banner's text: the
// offline speakers with their rooms and times, or "<name> back online" once the last one returned)
// and "offlineState" ("offline", "backOnline" or ""); they are signalled as "propertyChanged" on
// every change. Rooms answer their own "offlineCount" and "offlineSpeakers".
//
// Closing a room that holds speakers asks first: "Close" then only arms the question (the read-only
// text "closeRoomQuestion", tag 103, names the room and its speakers; the property
// "closeRoomPending" is the room's index, -1 while nothing is asked), "closeRoomConfirm"
// ("CloseConfirm") closes that room and "closeRoomCancel" ("CloseCancel") keeps it. An empty room
// closes at once.
//
// While the venue is initialised it keeps the speaker list's filter (placed speakers are not
// offered) and binds positions to speakers as they come and go.
//
// Stored keys: "venueID", "title" (the venue's name, or "Venue" without one), "rooms". GUI thread
// only.
class Venue : public Tessel::Component, public Tessel::CommandDispatcher<Venue>
{
    TESSEL_DECLARE_CLASS(Venue)
    TESSEL_DECLARE_COMMANDS(Venue)
public:
    static constexpr int32_t kRoomListTag = 100;
    static constexpr int32_t kVenueNameTag = 102;
    static constexpr int32_t kCloseRoomQuestionTag = 103;

    // Passes only speaker items that no position of the venue holds.
    class UnusedSpeakersFilter : public Tessel::Object, public IObjectFilter
    {
        TESSEL_DECLARE_CLASS(UnusedSpeakersFilter)
    public:
        explicit UnusedSpeakersFilter(Venue* venue = nullptr) : venue(venue) {}
        void* queryInterface(const Tessel::UID& iid) override;
        int retain() override { return Object::retain(); }
        int release() override { return Object::release(); }
        bool matches(Tessel::IUnknown* object) const override;
        void forgetVenue() { venue = nullptr; }

    private:
        Venue* venue;
    };

    Venue();

    const std::string& getVenueID() const { return venueID; }
    // A new identifier (a venue started afresh).
    void renewVenueID();
    std::string getVenueName() const;
    void setVenueName(const std::string& name, bool notify = false);
    // The name as stored: the venue's title, or "Venue" when it has none.
    std::string getStoredTitle() const;

    int countRooms() const { return int(rooms.size()); }
    SpeakerRoom* getRoom(int index) const;
    int indexOfRoom(const SpeakerRoom* room) const;
    SpeakerRoom* getActiveRoom() const;
    SpeakerRoom* findRoom(const std::string& roomID) const;
    // Takes over the caller's reference. `index` places the room in the list (below 0 or past the
    // end: appended).
    void addRoom(SpeakerRoom* room, int index = -1);
    SpeakerRoom* newRoom(bool activate);
    void closeRoom(SpeakerRoom* room);
    void closeAllRooms();
    void setActiveRoom(SpeakerRoom* room);
    // "File"/"Close": the room whose roomID equals `roomID` exactly (the command's argument
    // "closeRoom"), or the active room for "". A room holding speakers is not closed but asked
    // about (askToClose); the last room closed switches the venue view off.
    bool closeRoomCommand(const std::string& roomID, bool checkOnly);
    // Arms the close question for `room` (replacing any other); "closeRoomConfirm" then closes it.
    void askToClose(SpeakerRoom* room);
    // The room the close question is about, or nullptr.
    SpeakerRoom* getClosePending() const { return closePending; }
    // "Close "Stage"? Its 3 speakers leave the venue."
    static std::string closeQuestion(const std::string& title, int speakers);

    // Whether a position of any room is bound to `item`.
    bool holdsItem(const SpeakerNetworkItem* item) const;
    // Number of positions in all rooms.
    int countPositions() const;
    // Takes the speaker with serial number `serial` out of every room.
    void removeSpeaker(const std::string& serial);
    // The speaker `item` left the network: every room that holds it lets go of its volume.
    void speakerGone(SpeakerNetworkItem* item);
    // The rooms' placement changed: the speaker list shows its rows again.
    void placementChanged();
    int64_t getLastChange() const { return lastChange; }
    void setLastChange(int64_t ticks) { lastChange = ticks; }
    UnusedSpeakersFilter* getSpeakerFilter() const { return filter.get(); }
    // The room editor (a child "RoomEditView"), which shows the active room.
    RoomEditView* getRoomEditor() const { return editor; }

    void save(Tessel::Attributes& into) const;
    // Reads an attribute set that checkStoredForm accepted: the rooms are replaced, the first one
    // becomes active, and every change time is 0. `bindSpeakers` as for SpeakerRoom::load.
    void load(const Tessel::Attributes& from, bool bindSpeakers = true);
    // Whether `stored` has the shape of a venue (keys of the right types, a venueID that is an
    // identifier text); otherwise `problem` says what is wrong.
    static bool checkStoredForm(const Tessel::Attributes& stored, std::string& problem);

    bool initialize(Tessel::IUnknown* context = nullptr) override;
    bool terminate() override;
    Tessel::Component* findChild(const std::string& childName) const override;
    bool acceptsCommandCategory(const std::string& category) const override { return category == "File"; }
    bool getProperty(const std::string& propertyName, Tessel::Variant& value) const override;
    void paramChanged(Tessel::IParameter* param) override;
    void notify(Tessel::ISubject* subject, const Tessel::Message& msg) override;
    // "RoomEditView": the room editor of the active room (the same one every time).
    Tessel::Object* createView(const std::string& viewName, const Tessel::Attributes& arguments) override;
    using Component::createView;

    bool onNew(const Tessel::CommandMsg& msg);
    bool onSave(const Tessel::CommandMsg& msg);
    bool onClose(const Tessel::CommandMsg& msg);
    bool onMono(const Tessel::CommandMsg& msg);
    bool onLoad(const Tessel::CommandMsg& msg);
    bool onCloseConfirm(const Tessel::CommandMsg& msg);
    bool onCloseCancel(const Tessel::CommandMsg& msg);

protected:
    ~Venue() override;

private:
    void attachNetwork();
    void detachNetwork();
    void itemAdded(SpeakerNetworkItem* item);
    void itemRemoved(SpeakerNetworkItem* item);
    void refreshRoomList();
    void updateCloseEntries();
    std::string offlineMessage() const;
    void offlineChanged();
    void setShowVenue(bool on);
    void setClosePending(SpeakerRoom* room);

    std::string venueID;
    std::vector<SpeakerRoom*> rooms;                        // children of the venue, in order
    std::unique_ptr<Tessel::CommandParamList> closeEntries; // entries in the container
    Tessel::ListParam* roomList = nullptr;
    Tessel::StringParam* venueName = nullptr;
    Tessel::StringParam* closeRoomQuestion = nullptr;
    SpeakerRoom* closePending = nullptr; // one of `rooms`, cleared when it closes
    Tessel::SharedPtr<UnusedSpeakersFilter> filter;
    SpeakerNetworkManager* network = nullptr; // observed while set
    RoomEditView* editor = nullptr;           // a child
    int64_t lastChange = 0;
    std::string backOnline; // the name of the speaker that returned last, until another leaves
    bool destroying = false;
};

} // namespace Vellaris
