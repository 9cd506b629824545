#pragma once

#include <string>

#include "mirror/NetworkItemCollection.h"
#include "mirror/NetworkListener.h"
#include "tessel/CommandDispatcher.h"
#include "tessel/IdleClient.h"

namespace Tessel
{
class CommandParam;
class Parameter;
class StringParam;
} // namespace Tessel

namespace Vellaris::LK
{

// Turns the network library's device reports into a list of items and its connection errors into
// one error text. Generic: a derived manager decides which devices become which items.
//
// Children: the item list "NetworkList" (NetworkItemCollection) and every listed item, named by
// itemNameFor(). Parameters:
//   "rescanAll" (tag 1)       command "Network"/"Rescan All",
//   "errorMessage" (tag 2)    the last connection error text,
//   "errorState" (tag 3)      1 after a connection error, 0 after a rescan,
//   "simulateErrors" (tag 4)  command "Network"/"Simulate Errors" (debugging).
// Properties: "hasItems" (the list is not empty), "hasErrors" ("errorState" is not 0),
// "searching" (true for kRescanWindowMs after "Rescan All": the time every known device has to
// answer before the library gives it up) and "rescanMessage" ("Searching the network…" meanwhile,
// then "N speakers answered": the devices listed when the search ends; "" before any rescan).
// Signals to observers: "itemAdded" / "itemRemoved" (arg: the item), "propertyChanged".
class NetworkPresentationManager : public NetworkListener,
                                   public Tessel::CommandDispatcher<NetworkPresentationManager>
{
    TESSEL_DECLARE_CLASS(NetworkPresentationManager)
    TESSEL_DECLARE_COMMANDS(NetworkPresentationManager)
public:
    static constexpr int64_t kRemoveRetryMs = 1000;
    // How long a rescan searches: the library's expiry of a silent device (four announcement
    // periods of 2 s) and a little more, so the list then holds exactly the devices that answered.
    static constexpr int64_t kRescanWindowMs = 9000;
    static constexpr const char* kConnectivityMessage = "Limited or no connectivity to \"%(1)\".";

    // Installs the library's report function (library texts become warnings "LKNET:<text>").
    explicit NetworkPresentationManager(const std::string& name = {},
                                        lknet::INetworkManager* network = nullptr);

    // Configures the library with the computer's name (ASCII) and starts it. Only when it started:
    // registers for device and error reports and processes the library on every idle tick. When
    // the library cannot start the list stays empty. A manager that was shut down stays down.
    virtual void startup();
    // Takes every item out of the list (each is detached with shuttingDown true), unregisters,
    // lets the library process once more and shuts it down. Does nothing unless started.
    virtual void shutdown();
    bool isStarted() const { return started; }

    NetworkItemCollection& getItems() const { return *collection; }
    // The first item whose device has library handle `serverId`, or nullptr.
    NetworkItem* findItemByServerId(uint32_t serverId) const;

    // Makes the item for a device, or returns nullptr when the device does not belong in this list
    // (reference count 1, owned by the caller).
    virtual NetworkItem* createItem(ServerDescription* description) = 0;
    // Takes `item` out of the list: signals "itemRemoved", detaches it, removes it and releases it.
    virtual void removeItem(NetworkItem* item);
    // Removes `item` when it allows it, else retries every kRemoveRetryMs while it stays listed.
    void removeItemDeferred(NetworkItem* item);

    // The component name of the item for `description`: its serial number when that is a usable
    // path segment (not empty, no "/"), else "server" + the library handle.
    static std::string itemNameFor(const ServerDescription& description);

    // Library reports, on the GUI thread.
    void onServerAvailable(ServerDescription* description) override;
    void onServerUnavailable(uint32_t serverId) override;
    // Errors 1002 and 1003 about a listed device set "errorMessage" and "errorState" and are passed
    // to the item; other codes and unknown peers change nothing.
    void onNetworkError(int code, const std::string& address, uint16_t port) override;

    // "Network"/"Rescan All": the library rescans and "errorState" returns to 0 (the text stays).
    void rescan();

    bool acceptsCommandCategory(const std::string& category) const override;
    bool getProperty(const std::string& propertyName, Tessel::Variant& value) const override;
    void notify(Tessel::ISubject* subject, const Tessel::Message& msg) override;

protected:
    ~NetworkPresentationManager() override;

    bool onRescanAll(const Tessel::CommandMsg& msg);
    bool onSimulateErrors(const Tessel::CommandMsg& msg);
    void onIdleTick();

    NetworkItemCollection* collection = nullptr; // a child; the component tree owns it
    Tessel::StringParam* errorMessage = nullptr;
    Tessel::Parameter* errorState = nullptr;
    bool started = false;
    bool stopped = false;
    bool searching = false;
    int searchGeneration = 0; // tells the end of the latest search from that of an earlier one
    std::string rescanMessage;

private:
    Tessel::IdleClient idle;
};

} // namespace Vellaris::LK
