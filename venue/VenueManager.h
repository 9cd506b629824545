#pragma once

#include <memory>
#include <string>

#include "speaker/VenueSide.h"
#include "tessel/CommandDispatcher.h"
#include "tessel/ComponentSingleton.h"

namespace Vellaris
{

class VenueUndoLocator;

class Venue;
class VenueHistoryItem;
class VenueHistoryItemCollection;

// Keeps the one open venue, lists the user's venue files (the history), creates, opens, renames
// and deletes venues, saves the open venue by itself, and switches between the start page, the
// venue view and the network setup. One per process, named "VenueManager" below the root
// component ("://roomdesk/VenueManager").
//
// Parameters: "showVenue" (tag 100: on while a venue is shown, off on the start page),
// "showNetwork" (tag 101: on while the Wi-Fi setup is shown) and the command parameter
// "newVenue" ("File"/"New"). Properties "hasHistory", "hasInspectorItem" (an entry's editor is
// open), "isCreatingVenue". Children: "HistoryList" (the entries, VenueHistoryItemCollection),
// and by name "activeVenue" (the open venue) and "inspector" (the entry whose editor is open).
//
// Switching "showVenue" on gives the speaker list the open venue's filter (placed speakers are
// not offered). Switching it off keeps a venue that is worth saving (it is written and the list
// read again) and deletes one that is still empty; the active room's inspectors close.
// "showNetwork" on refreshes the Wi-Fi setup; every change sets the speaker list's network setup
// mode.
//
// Automatic saving: every kSaveIntervalMs, while a venue is shown, the open venue is written (not
// forced) when the venue, one of its rooms or one of its placed speakers changed less than
// kSaveIntervalMs ago, or since the previous tick, or when what it would write differs from what
// was written last. Nothing is written when nothing changed. The open venue is written as well
// before another one replaces it and when the manager terminates. Every write goes through the
// file system's atomic write.
//
// It answers the speaker side's IVenueSide with the open venue's active room. GUI thread only.
class VenueManager : public Tessel::Component,
                     public IVenueSide,
                     public Tessel::CommandDispatcher<VenueManager>,
                     public Tessel::ComponentSingleton<VenueManager>
{
    TESSEL_DECLARE_CLASS(VenueManager)
    TESSEL_DECLARE_COMMANDS(VenueManager)
public:
    static constexpr int32_t kShowVenueTag = 100;
    static constexpr int32_t kShowNetworkTag = 101;
    static constexpr int64_t kSaveIntervalMs = 3000;
    static constexpr const char* kNewVenueName = "My New Venue";

    VenueManager();

    void* queryInterface(const Tessel::UID& iid) override;
    int retain() override { return Component::retain(); }
    int release() override { return Component::release(); }

    // Makes and initialises the open venue (once the speaker list exists, so the venue follows
    // it), reads the history and starts the automatic saving. The start page is shown.
    void startup();
    // The open venue (nullptr before startup()). Borrowed.
    Venue* getVenue() const { return venue; }
    VenueHistoryItemCollection* getHistory() const { return history; }
    VenueHistoryItem* getInspectorItem() const { return inspectorItem; }
    VenueHistoryItem* getCreatingItem() const { return creatingItem; }

    // Starts a fresh venue, writes it (although it is empty) and opens the name editor of its new
    // entry, which is the venue being created. Leaves the venue view first when it is shown.
    void newVenue();
    // Reads the entry's file into the open venue (after writing the open one) and shows it. False
    // (and the open venue unchanged) when the file is refused: the entry then shows that it cannot
    // be read and an alert names the file.
    bool loadVenue(VenueHistoryItem* item);
    // Reads `url` into the open venue and shows it; false (venue unchanged) when refused.
    bool loadVenue(const std::string& url);
    // Removes the entry's venue and summary files (the open venue starts afresh when it is that
    // venue) and reads the list again.
    void deleteVenue(VenueHistoryItem* item);
    // Renames the entry's venue to `name`: its files are moved to the new name and written again.
    // The open venue, when it is that venue, is written first and then replaced by a fresh one.
    // An empty name, or an unreadable file, leaves everything as it was.
    void renameVenue(VenueHistoryItem* item, const std::string& name);
    // Writes the open venue (not forced) and reads the venue folder again: every ".venue" file is
    // one entry, in the folder's order, also one that cannot be read.
    void rescanHistory();
    // Closes any entry's editor, then switches "showVenue" (notified).
    void setShowVenue(bool on);
    // The entry whose editor is open (nullptr: none).
    void setInspectorItem(VenueHistoryItem* item);
    // The entry's editor closed: a venue still being created without a name is deleted.
    void editorClosed(VenueHistoryItem* item);
    // Starts the open venue afresh: a new venueID, one room "New Group..." with its default group,
    // the name "My New Venue".
    void resetVenue();
    // Whether `url` is the file of the open venue.
    bool isOpenVenueFile(const std::string& url) const;
    // Writes the open venue now; false when nothing was written.
    bool saveOpenVenue(bool force);

    // IVenueSide.
    bool isShowingVenue() const override;
    bool isShowingNetwork() const override;
    IActiveRoom* getActiveRoom() const override;
    void removeSpeakerFromRooms(const std::string& serial) override;
    void speakerGone(const std::string& serial, SpeakerNetworkItem* item) override;

    Tessel::Component* findChild(const std::string& childName) const override;
    bool acceptsCommandCategory(const std::string& category) const override { return category == "File"; }
    bool getProperty(const std::string& propertyName, Tessel::Variant& value) const override;
    bool terminate() override;
    void paramChanged(Tessel::IParameter* param) override;
    void notify(Tessel::ISubject* subject, const Tessel::Message& msg) override;

    bool onNew(const Tessel::CommandMsg& msg);

protected:
    ~VenueManager() override;

private:
    void saveTick();
    bool changedRecently(int64_t now) const;
    void showVenueChanged();
    void closeRoomInspectors();
    void setCreatingItem(VenueHistoryItem* item);
    // The stored form of the open venue as text.
    std::string storedText() const;

    Tessel::IParameter* showVenue = nullptr;
    Tessel::IParameter* showNetwork = nullptr;
    Venue* venue = nullptr;                        // a child
    VenueHistoryItemCollection* history = nullptr; // a child
    VenueHistoryItem* inspectorItem = nullptr;     // an entry of `history`
    VenueHistoryItem* creatingItem = nullptr;      // an entry of `history`
    std::string openFile;                          // the open venue's file as read or written last
    std::string lastSaved;                         // the open venue as written last
    int64_t lastTick = -1;                         // ticks of the previous saving turn
    bool saving = false;
    // Undo's values for speakers off the network go to their positions' stored settings.
    std::unique_ptr<VenueUndoLocator> undoLocator;
};

} // namespace Vellaris
