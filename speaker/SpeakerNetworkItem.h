#pragma once

#include "lknet/lknet.h"
#include "mirror/NetworkItem.h"
#include "tessel/SharedPtr.h"

namespace Vellaris
{

class SpeakerComponent;
namespace LK
{
class SpeakerRootComponent;
}

// One speaker in the speaker list. It owns the speaker's client root (its only child, with an empty
// name) and through it the SpeakerComponent "Speaker", subscribes to the device, shows a picture
// of the model and lets the user select the speaker; selecting switches the speaker's "wink" on so
// the real speaker identifies itself.
//
// Skin addresses (the item is named by its serial number below "SpeakerNetwork"):
//   ://roomdesk/SpeakerNetwork/<serial>/icon | name | version | hostname | removeFromRoom |
//                                       editSpeakerProps
//   ://roomdesk/SpeakerNetwork/<serial>//Speaker/<path>   a mirrored parameter, e.g.
//                                       ".../123456789//Speaker/line/ch1/volume" (the empty segment
//                                       is the unnamed client root)
//
// Parameters added to those of NetworkItem: "removeFromRoom" (tag 100; any change takes the
// speaker out of the open venue's rooms) and "editSpeakerProps" (tag 101; any change selects the
// speaker and opens its properties in the inspector).
//
// Rules that depend on other parts of the application reach them through their seams and stay
// inert while they are missing: the venue side (IVenueSide: the shown venue, its active room and
// its lock, taking a speaker out of the rooms), the speaker inspector "Inspector" (parameter
// "showSpeakerProps") and the Wi-Fi setup (IWifiSetup: the network to join and its password).
class SpeakerNetworkItem : public LK::NetworkItem
{
    TESSEL_DECLARE_CLASS(SpeakerNetworkItem)
public:
    static constexpr int32_t kRemoveFromRoomTag = 100;
    static constexpr int32_t kEditSpeakerPropsTag = 101;
    static constexpr const char* kIconName = "SpeakerIcon";
    static constexpr const char* kSelectedIconName = "SpeakerIconSelected";
    static constexpr const char* kUnknownModel = "Unknown";
    static constexpr const char* kMissingSerialText = "[Error]";

    // Builds the item: creates, initialises and connects the client root to the description's
    // server, sets the speaker's "id", observes its "wink" and shows the unselected picture.
    // `network` is handed to the root (null: the library's manager).
    explicit SpeakerNetworkItem(LK::ServerDescription* description = nullptr,
                                lknet::INetworkManager* network = nullptr);

    LK::SpeakerRootComponent* getRoot() const { return root.get(); }
    // The speaker component below the root (never null while the item lives, unless the root is
    // missing).
    SpeakerComponent* getSpeakerComponent() const;
    // The serial number of the speaker ("" without a description).
    std::string getSerialNumber() const;
    // kComponentChild answers the speaker component, so views reach the speaker's parameters as
    // "<item path>/component/line/ch1/volume"; other names as a plain component does.
    static constexpr const char* kComponentChild = "component";
    Tessel::Component* findChild(const std::string& childName) const override;

    // Selects or deselects the speaker (its "wink", sent to the device) and updates the picture.
    // With `selected` and `exclusive` every other speaker of the list is deselected first. Does
    // nothing while the item is not selectable.
    void setSelected(bool selected, bool exclusive);
    // True when the speaker's "wink" holds a nonzero number.
    bool isSelected() const;
    bool isSelectable() const { return selectable; }
    void setSelectable(bool on) { selectable = on; }
    // Sets the speaker's "networksetupmode" to 1 or 0 (with notification, so it reaches the device).
    void setNetworkSetupMode(bool on);
    // Sends the Wi-Fi join request with the Wi-Fi setup's "ssid" and "password" to the device;
    // nothing when either parameter is missing. Returns whether it was sent.
    bool sendNetworkChangeRequest();
    // Whether the owner's join requests reach this speaker: from when the owner made the item
    // until it is detached.
    bool takesJoinRequests() const { return joinRequests; }
    void setTakesJoinRequests(bool on) { joinRequests = on; }

    // The picture name for the current selection state: "SpeakerIcon:<model>" or
    // "SpeakerIconSelected:<model>", with the model "Unknown" when the theme has no such picture.
    std::string computeIcon() const;

    // NetworkItem.
    void onIdle() override;
    // A click toggles the selection exclusively, except a kind-2 click with modifier bit 4 on a
    // speaker that is already selected, which changes nothing.
    void onClick(const ItemClickEvent& event) override;
    void open() override;
    bool canRemove() override { return true; }
    // Makes the item selectable again, deselects it, ends network setup mode, disconnects the root
    // (sending "Unsubscribe" when shutting down) and stops taking the owner's join requests.
    void detach(bool shuttingDown) override;
    // True only while a venue is shown whose active room exists and is not locked.
    bool canDrag() override;
    // 1002 (the connection came back): the root subscribes again.
    void onError(int code) override;

    // "removeFromRoom" and "editSpeakerProps".
    void paramChanged(Tessel::IParameter* param) override;
    // The speaker's "wink" changed: the owner signals "selectionChanged".
    void notify(Tessel::ISubject* subject, const Tessel::Message& msg) override;

protected:
    ~SpeakerNetworkItem() override;

private:
    void observeSelection(Tessel::IParameter* param);
    Tessel::IParameter* speakerParameter(const char* name) const;

    bool selectable = true;
    bool joinRequests = false;
    Tessel::SharedPtr<LK::SpeakerRootComponent> root;
    Tessel::SharedPtr<Tessel::IParameter> selectionParam;
};

} // namespace Vellaris
