#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "speaker/VenueSide.h"
#include "tessel/CommandDispatcher.h"
#include "tessel/Component.h"
#include "tessel/Parameter.h"
#include "tessel/SharedPtr.h"
#include "venue/SpeakerGroup.h"

namespace Tessel
{
class Attributes;
class StringParam;
} // namespace Tessel

namespace Vellaris
{

class MasterComponent;
class ScrollWheelComponent;
class SpeakerComponent;
class SpeakerNetworkItem;
class Venue;

// One room of a venue ("Room"): the ordered groups of speaker positions, and the control surface
// that drives every speaker placed in it at once.
//
// Parameters, in this order: "roomTitle" (tag 0, storable), "muteAll" (103), "viewNetwork" (106),
// "viewRoomInspector" (107), "closeInspector" (108), "maxVolume" (102, the loudest speaker volume
// for the room meter, normalised), "locked" (104, storable), "roomLabel" (105, the mode label),
// "comments" (tag 0, storable), command parameters "roomVolumeUp" and "roomVolumeDown" ("Room" /
// "Volume Up", "Volume Down"). Properties "roomempty" and "groupList" (the groups and their speakers as
// text lines, for a plain list view), "soloSpeaker" (the name of the soloed speaker, "" without a
// solo), "offlineCount" (how many of its placed speakers left the network while the venue was open
// and are still away) and "offlineSpeakers" (their names, separated by ", "). Children "Master"
// (MasterComponent) and "VolumeWheel" (ScrollWheelComponent). Signals "changed", "propertyChanged" and
// "roomConfigured".
//
// The speakers of a room are visited group by group, in each the positions of
// SpeakerGroup::positions(), counting only positions whose speaker is live.
//
// Stored keys: "roomID", "title", "groups", "masterGEQ" (the master equaliser's storable values:
// "gain1" … "gain31", "on", "ston") and "locked" (0 or 1). The last two are read when present; a
// room read from a file without them keeps its master as it is and stays unlocked. A room that
// comes back locked shows no network browser. GUI thread only.
class SpeakerRoom : public Tessel::Component,
                    public IActiveRoom,
                    public Tessel::CommandDispatcher<SpeakerRoom>
{
    TESSEL_DECLARE_CLASS(SpeakerRoom)
    TESSEL_DECLARE_COMMANDS(SpeakerRoom)
public:
    static constexpr const char* kDefaultTitle = "New Group...";
    static constexpr const char* kRoomConfigured = "roomConfigured";
    static constexpr const char* kSpeakerGeqPath = "line/ch1/geq";
    static constexpr int32_t kMaxVolumeTag = 102;
    static constexpr int32_t kMuteAllTag = 103;
    static constexpr int32_t kLockedTag = 104;
    static constexpr int32_t kRoomLabelTag = 105;
    static constexpr int32_t kViewNetworkTag = 106;
    static constexpr int32_t kViewRoomInspectorTag = 107;
    static constexpr int32_t kCloseInspectorTag = 108;
    // Delay of the room meter's update after a volume change.
    static constexpr int64_t kMeterDelayMs = 10;

    SpeakerRoom();

    void* queryInterface(const Tessel::UID& iid) override;
    int retain() override { return Component::retain(); }
    int release() override { return Component::release(); }

    // --- Stored form ---
    const std::string& getRoomID() const { return roomID; }
    // Sets the title and "roomTitle" (without notification).
    void setRoomTitle(const std::string& title);
    std::vector<SpeakerGroup*> getGroups() const;
    // Appends `group` (retained) and makes this room its owner.
    void addGroup(SpeakerGroup* group);
    bool removeGroup(SpeakerGroup* group);
    // One group "Tops"; the room signals "changed" and updates its mode label.
    void makeDefaultGroups();
    int64_t getLastChange() const { return lastChange; }
    void setLastChange(int64_t ticks) { lastChange = ticks; }
    // The venue that owns the room (its parent), or nullptr.
    Venue* getVenue() const;

    void save(Tessel::Attributes& into) const;
    // Reads an already checked attribute set, then binds every position to the live speaker of
    // its serial number unless `venue` (or this room) holds that speaker already, pushing the
    // stored settings onto it (only with `bindSpeakers`). Ends with update(), "roomConfigured" and
    // "changed".
    void load(const Tessel::Attributes& from, const Venue* venue, bool bindSpeakers = true);

    // --- Speakers ---
    // Every position with a live speaker component, in visiting order.
    std::vector<SpeakerPosition*> livePositions() const;
    std::vector<SpeakerComponent*> speakers() const;
    int speakerCount() const { return int(livePositions().size()); }
    // How many positions hold a speaker that left the network while the venue was open.
    int offlineCount() const;
    // Every position of every group (live or not), in visiting order, each once.
    std::vector<SpeakerPosition*> allPositions() const;
    // The first position of any group whose speakerID equals `serial`, or nullptr.
    SpeakerPosition* findPosition(const std::string& serial) const;
    // Whether a position of this room is bound to `item`.
    bool holdsItem(const SpeakerNetworkItem* item) const;
    // Moves `position` into `group` (one of this room's): a position with the same serial number
    // is first taken out of every group of the room (its speaker deselected, its volume no longer
    // observed, its solo disabled), then `position` is appended to `group`, which applies the
    // room's settings to a live speaker; the speaker ends deselected and the room updates. False
    // when `group` is not this room's.
    bool addToGroup(SpeakerGroup* group, SpeakerPosition* position);
    // Takes every position with serial number `serial` out of this room's groups (the speaker
    // deselected, its solo disabled); true when there was one. The room updates.
    bool removeSerial(const std::string& serial);

    // --- Control ---
    // Moves every speaker's "elastic" by `delta` when at least one speaker can still move that way;
    // the speakers' volumes are held in an edit gesture meanwhile.
    void stepVolume(float delta);
    void setMuteAll(bool on);
    // Mutes every other speaker and marks `speaker` as the soloed one; clears "muteAll".
    void solo(SpeakerComponent* speaker);
    // Unmutes every speaker and clears every "solo"; unless `force`, only while one is soloed.
    void unsolo(bool force);
    // A speaker joined the room: it gets the master equaliser, the solo switch and the mute-all
    // state, and the volume observation is renewed.
    void applyToSpeaker(SpeakerPosition* position);
    // `item` left the network: its volume is no longer observed and its solo is disabled.
    void speakerGone(SpeakerNetworkItem* item);
    bool isActive() const { return active; }
    void setActive(bool on);
    // Signals "changed" and "propertyChanged", brings "muteAll" in line with the speakers and
    // renews the volume observation.
    void update();
    void updateModeLabel();

    MasterComponent* getMaster() const { return master; }
    ScrollWheelComponent* getWheel() const { return wheel; }
    Tessel::IParameter* getMaxVolume() const { return maxVolume; }

    // IActiveRoom.
    bool isLocked() const override;
    bool holdsSpeaker(const SpeakerComponent* speaker) const override;
    void setSolo(SpeakerComponent* speaker, bool on) override;
    void unsolo() override;

    bool acceptsCommandCategory(const std::string& category) const override { return category == "Room"; }
    bool onVolumeUp(const Tessel::CommandMsg& msg);
    bool onVolumeDown(const Tessel::CommandMsg& msg);

    void paramChanged(Tessel::IParameter* param) override;
    void notify(Tessel::ISubject* subject, const Tessel::Message& msg) override;
    bool getProperty(const std::string& propertyName, Tessel::Variant& value) const override;

protected:
    ~SpeakerRoom() override;

private:
    void viewNetworkChanged(bool on);
    void restoreLock(bool on);
    void observeVolumes();
    void unobserveVolumes();
    void startMeterTimer();
    void updateMeter();
    Tessel::IParameter* inspectorParam(const char* name) const;

    std::string roomID;
    std::vector<Tessel::SharedPtr<SpeakerGroup>> groups;
    bool active = false;
    int64_t lastChange = 0;

    Tessel::StringParam* roomTitle = nullptr;
    Tessel::Parameter* muteAll = nullptr;
    Tessel::Parameter* viewNetwork = nullptr;
    Tessel::Parameter* viewRoomInspector = nullptr;
    Tessel::Parameter* closeInspector = nullptr;
    Tessel::Parameter* maxVolume = nullptr;
    Tessel::Parameter* locked = nullptr;
    Tessel::StringParam* roomLabel = nullptr;
    Tessel::StringParam* comments = nullptr;

    MasterComponent* master = nullptr;     // a child
    ScrollWheelComponent* wheel = nullptr; // a child
    Tessel::SharedPtr<Tessel::Component> inspector;
    std::vector<Tessel::SharedPtr<Tessel::IParameter>> mutedBeforeMuteAll;
    std::vector<Tessel::SharedPtr<Tessel::IParameter>> observedVolumes; // and the speakers' "solo"
    bool savedLock = false;
    bool maxVolumeReplaced = false;
    bool meterPending = false;
};

} // namespace Vellaris
