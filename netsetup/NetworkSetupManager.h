#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "netsetup/WifiJoin.h"
#include "netsetup/WifiList.h"
#include "speaker/WifiSetupSide.h"
#include "tessel/CommandDispatcher.h"
#include "tessel/ComponentSingleton.h"
#include "tessel/IdleClient.h"

namespace Tessel
{
class IParameter;
class Parameter;
class StringParam;
} // namespace Tessel

namespace Vellaris
{

class SpeakerNetworkItem;
class SpeakerNetworkManager;

// Moves the speakers onto a Wi-Fi network: merges the networks that the speakers report (their
// "networklist") into one list, marks the ones every speaker sees, lets the user choose one,
// asks for its password when it is secured and sends every speaker the join request.
// One per process, named "NetworkSetupManager" below the root component; it answers IWifiSetup
// for the speaker items.
//
// Skin: "://roomdesk/NetworkSetupManager/<name>". Parameters: "showPassword" (tag 100, on while
// the password popup is shown), "ssid" (101, the chosen network), "password" (102, typed by the
// user; a secret: never logged, stored or sent to a remote, cleared once the join is sent or the
// popup closes), "needsPassword" (103, the chosen network is secured), "joinNetworkMessage" (104,
// the join banner), "confirmJoin" (105, on while the join waits for a confirmation),
// "confirmJoinMessage" (106, its question), "joinError" (107, why the last join was refused, ""
// when it was not), the commands "passwordJoin" ("NetworkSetupManager"/"Join"), "passwordCancel"
// (…/"Cancel"), "joinConfirm" (…/"ConfirmJoin") and "joinConfirmCancel" (…/"CancelJoin").
// Properties: "hasWifi", "anyCommonWifi", "networkChanging" (for kJoinMessageMs after a join),
// "hasJoinReport" (the banner shows how the last join ended, until a network is chosen again or
// the setup is opened anew), "joinMissing" (how many speakers asked by the last join are not
// back), "commandRefusal" (the text of "joinError", for remotes). Child: the
// list model "wifiList". Signals: "propertyChanged", and "requestFocus" (arg: "password") when a
// secured network is chosen, so the view puts the keyboard focus into the password field.
//
// A join that not every speaker can follow (some do not see the network) is asked first; the
// banner then counts the speakers that come back on the new network within kJoinMessageMs.
//
// The speaker list may appear after this manager; it is looked for on every idle turn until found.
// Reports are merged at most once per kRebuildDelayMs: the first change (a speaker came or went,
// a "networklist" changed) schedules the rebuild that later changes join.
//
// Order of the list: the common networks first, then the others; within each, the strongest
// first, then by name.
class NetworkSetupManager : public Tessel::Component,
                            public IWifiSetup,
                            public Tessel::ComponentSingleton<NetworkSetupManager>,
                            public Tessel::CommandDispatcher<NetworkSetupManager>
{
    TESSEL_DECLARE_CLASS(NetworkSetupManager)
    TESSEL_DECLARE_COMMANDS(NetworkSetupManager)
public:
    static constexpr int64_t kTimerMs = 500;
    static constexpr int64_t kRebuildDelayMs = 10000;
    static constexpr int64_t kJoinMessageMs = 10000;
    static constexpr const char* kCommandCategory = "NetworkSetupManager";
    static constexpr const char* kJoinMessagePrefix = "Speakers joining network: ";

    NetworkSetupManager();

    void* queryInterface(const Tessel::UID& iid) override;
    int retain() override { return Component::retain(); }
    int release() override { return Component::release(); }

    const std::vector<Tessel::SharedPtr<Wifi>>& getWifis() const { return wifis; }
    WifiListModel& getListModel() const { return *listModel; }
    // The network of that name in the merged list, or nullptr.
    Wifi* findWifi(const std::string& name) const;
    bool isNetworkChanging() const { return joining; }
    // Whether a rebuild is scheduled, and when (GetSystemTicks).
    bool isRebuildScheduled() const { return rebuildPending; }
    int64_t getRefreshAt() const { return refreshAt; }

    // Merges the reports of every speaker now (see the class comment for the order) and rebuilds
    // the list model; signals "propertyChanged".
    void rebuildList();
    // Opens the password popup for the item's network: "ssid", "needsPassword", "showPassword" 1,
    // an empty "password"; asks for the focus for a secured network.
    void chooseNetwork(WifiListItem* item);
    // The command "Join": refuses what join() refuses; when some speakers do not see the network,
    // shows the question "confirmJoinMessage" ("confirmJoin" on) and sends only on "ConfirmJoin";
    // otherwise joins at once. False when refused.
    bool requestJoin();
    // "ConfirmJoin": joins the network asked about. False when nothing was asked or it is refused.
    bool confirmJoin();
    // "CancelJoin": drops the question; the password popup stays open.
    void cancelJoin();
    // Sends every speaker the join request for "ssid" with "password" (also an empty one), shows
    // the join message for kJoinMessageMs, clears the password and refreshes. A network name or
    // password with characters outside ASCII is refused instead: nothing is sent, "joinError"
    // says why and the password is forgotten. False when refused.
    bool join();
    // How many speakers see the network `name` in their current reports, of all speakers listed.
    struct Reach
    {
        int seeing = 0;
        int total = 0;
    };
    Reach reachOf(const std::string& name) const;
    const WifiJoinCount& getJoinCount() const { return joinCount; }

    // IWifiSetup.
    std::string getJoinSsid() const override;
    std::string getJoinPassword() const override;
    // Shows every speaker in the network list, closes the popup, clears the selection and shows
    // the list again from the merged networks.
    void refresh() override;

    // Once per kTimerMs: finds the speaker list, runs a due rebuild, ends the join message.
    void onTimer();

    bool initialize(Tessel::IUnknown* context = nullptr) override;
    bool terminate() override;
    bool acceptsCommandCategory(const std::string& category) const override;
    bool getProperty(const std::string& propertyName, Tessel::Variant& value) const override;
    void notify(Tessel::ISubject* subject, const Tessel::Message& msg) override;

protected:
    ~NetworkSetupManager() override;

    bool onJoin(const Tessel::CommandMsg& msg);
    bool onCancel(const Tessel::CommandMsg& msg);
    bool onConfirmJoin(const Tessel::CommandMsg& msg);
    bool onCancelJoin(const Tessel::CommandMsg& msg);

private:
    struct Watched
    {
        Tessel::SharedPtr<SpeakerNetworkItem> item;
        Tessel::SharedPtr<Tessel::IParameter> networkList;
    };

    // Finds the speaker list below the root and observes it and its speakers (once).
    void attachSpeakers();
    void detachSpeakers();
    void watchSpeaker(SpeakerNetworkItem* item, bool isNew);
    void unwatchSpeaker(SpeakerNetworkItem* item);
    void scheduleRebuild();
    void startTimer();
    // Sets "joinError" for a name or password the speakers cannot take (and forgets the
    // password); true when refused. Clears "joinError" otherwise.
    bool refuseUnsendable();
    void setJoinError(const std::string& text);
    void closeQuestion();
    void setJoinReport(bool on);
    // A speaker announced itself while a join runs.
    void speakerArrived(SpeakerNetworkItem* item);

    Tessel::Parameter* showPassword = nullptr;
    Tessel::StringParam* ssid = nullptr;
    Tessel::StringParam* password = nullptr;
    Tessel::Parameter* needsPassword = nullptr;
    Tessel::StringParam* joinNetworkMessage = nullptr;
    Tessel::Parameter* confirmJoinParam = nullptr;
    Tessel::StringParam* confirmJoinMessage = nullptr;
    Tessel::StringParam* joinError = nullptr;
    WifiListModel* listModel = nullptr; // a child

    std::vector<Tessel::SharedPtr<Wifi>> wifis;
    Tessel::SharedPtr<SpeakerNetworkManager> speakers;
    std::vector<Watched> watched;
    bool rebuildPending = false;
    int64_t refreshAt = 0;
    bool joining = false;
    int64_t joinedAt = 0;
    std::string joiningSsid;
    WifiJoinCount joinCount;
    bool joinReport = false;
    Tessel::IdleClient timer;
};

} // namespace Vellaris
