#pragma once

#include <memory>
#include <string>

#include "mirror/NetworkPresentationManager.h"
#include "tessel/ComponentSingleton.h"

namespace Vellaris
{

class SpeakerComponent;
class SpeakerNetworkItem;
class SpeakerUndoLocator;

// The application's list of speakers, the component "SpeakerNetwork" below the root. Every device
// of type "SPK" that the network library announces becomes a SpeakerNetworkItem, a child named by
// its serial number (two speakers with one serial number share the name; lookups find the first).
//
// Skin: "://roomdesk/SpeakerNetwork/rescanAll" (command "Network"/"Rescan All"),
// ".../simulateErrors", ".../errorMessage", ".../errorState", properties ".../hasItems" and
// ".../hasErrors", the item model ".../NetworkList" (IItemListModel), and each item below
// ".../<serial>" (see SpeakerNetworkItem).
//
// Signals to observers: "itemAdded", "itemRemoved", "propertyChanged" and "selectionChanged" (arg:
// the item whose "wink" changed).
//
// When an item leaves, the venue side is told through IVenueSide::speakerGone (serial number,
// item); without a venue side nothing happens.
class SpeakerNetworkManager : public LK::NetworkPresentationManager,
                              public Tessel::ComponentSingleton<SpeakerNetworkManager>
{
    TESSEL_DECLARE_CLASS(SpeakerNetworkManager)
public:
    static constexpr const char* kComponentName = "SpeakerNetwork";
    static constexpr const char* kSpeakerDeviceType = "SPK";

    // `network` is the library's manager to use (null: LKGetNetworkManager(); tests pass fakes).
    explicit SpeakerNetworkManager(lknet::INetworkManager* network = nullptr);

    // Makes a SpeakerNetworkItem for a device of type exactly "SPK" (else nullptr): selectable as
    // itemsSelectable says, "solo" disabled, observing this manager, in network setup mode when
    // the venue manager's "showNetwork" is on.
    LK::NetworkItem* createItem(LK::ServerDescription* description) override;
    // Tells the venue manager that the speaker is gone, then takes the item out of the list.
    void removeItem(LK::NetworkItem* item) override;

    // The application's speaker list, created below the root on first use (never null).
    static SpeakerNetworkManager* instance() { return create(); }

    int countSpeakers() const;
    SpeakerNetworkItem* getSpeaker(int index) const;

    // setSelected(selected, false) on every speaker item, in list order.
    void selectAll(bool selected);
    // Deselects every speaker (before the application is suspended).
    void deselectAll() { selectAll(false); }
    // Sets itemsSelectable and every item's selectable flag.
    void setItemsSelectable(bool on);
    bool getItemsSelectable() const { return itemsSelectable; }
    // On: every speaker winks, single selections are locked and the list shows every speaker (see
    // showEverySpeaker); off: unlocked, all deselected, and the list's filter set aside during the
    // setup comes back (unless another one was installed meanwhile). Then every speaker's
    // "networksetupmode" follows.
    void setNetworkSetupMode(bool on);
    bool isInNetworkSetupMode() const { return networkSetupMode; }
    // During the network setup: the list shows every speaker, placed or not; its filter is set
    // aside until the setup ends. Outside the setup it does nothing, so that placed speakers never
    // come back into the list (where they could be placed a second time).
    void showEverySpeaker();
    // The first speaker whose serial number equals `serial` exactly, or nullptr.
    SpeakerNetworkItem* findItemBySerial(const std::string& serial) const;
    // The speaker item whose speaker component is `speaker`, or nullptr.
    SpeakerNetworkItem* findItemByComponent(const SpeakerComponent* speaker) const;
    // Every speaker still attached sends the Wi-Fi setup's join request to its device.
    void requestNetworkChange();

protected:
    ~SpeakerNetworkManager() override;

private:
    bool itemsSelectable = true;
    bool networkSetupMode = false;
    Tessel::SharedPtr<Tessel::Object> filterSetAside; // the list's filter during the setup
    // Keys the speakers' parameters for the desk's undo history while the list lives.
    std::unique_ptr<SpeakerUndoLocator> undoLocator;
};

} // namespace Vellaris
