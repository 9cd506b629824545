// The network presentation: descriptions from the library's records, items coming and going on
// the message loop, deferred removal, connection errors and rescans, start and shutdown.
#include <gtest/gtest.h>

#include "mirror/NetworkPresentationManager.h"
#include "mirror/ServerDescription.h"
#include "tessel/CommandMsg.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/IParameter.h"
#include "tests/common/FakeLibrary.h"
#include "tests/common/MessageRecorder.h"

namespace
{

using namespace Vellaris::LK;
using NetworkTest::FakeLibrary;

class TestItem : public NetworkItem
{
public:
    using NetworkItem::NetworkItem;
    bool removable = true;
    int idles = 0;
    std::vector<std::string> events;

    void onIdle() override { ++idles; }
    bool canRemove() override { return removable; }
    void detach(bool shuttingDown) override
    {
        events.push_back(shuttingDown ? "detach true" : "detach false");
    }
    void onError(int code) override { events.push_back("error " + std::to_string(code)); }
};

// Lists devices of type "DEV" only.
class TestManager : public NetworkPresentationManager
{
public:
    explicit TestManager(FakeLibrary* library) : NetworkPresentationManager("Devices", library) {}
    NetworkItem* createItem(ServerDescription* description) override
    {
        if (!description || description->deviceType != "DEV")
            return nullptr;
        return new TestItem(description);
    }
    TestItem* item(int index) const { return static_cast<TestItem*>(getItems().getItemAt(index)); }
};

class Presentation : public ::testing::Test
{
protected:
    Presentation()
    {
        platform.setComputerName("Büro-PC");
        manager = new TestManager(&library);
        manager->addObserver(recorder);
    }
    ~Presentation() override { manager->removeObserver(recorder); }

    bool hasItems() const
    {
        Tessel::Variant value;
        manager->getProperty("hasItems", value);
        return value.asInt() != 0;
    }
    bool hasErrors() const
    {
        Tessel::Variant value;
        manager->getProperty("hasErrors", value);
        return value.asInt() != 0;
    }
    std::string errorMessage() const { return manager->findParameter("errorMessage")->toString(); }
    Tessel::Variant property(const std::string& name) const
    {
        Tessel::Variant value;
        EXPECT_TRUE(manager->getProperty(name, value)) << name;
        return value;
    }
    int errorState() const { return int(manager->findParameter("errorState")->getValue().asInt()); }

    // Announces a device with an address and lets the loop run.
    void addDevice(int server, const char* name, const char* serial, const char* address = "10.0.0.5",
                   uint16_t port = 4000, const char* type = "DEV")
    {
        library.setDevice(server, address, "", port);
        library.announce(server, name, type, serial);
        platform.advance(0);
    }

    Tessel::HeadlessPlatform platform;
    FakeLibrary library;
    Tessel::AutoPtr<TestManager> manager;
    Tessel::AutoPtr<TestSupport::MessageRecorder> recorder = new TestSupport::MessageRecorder;
};

TEST(ServerDescriptionTest, SplitsTheAnnouncedNameAtTheFirstSlash)
{
    std::string name, version;
    ServerDescription::splitAnnouncedName("TX10A", name, version);
    EXPECT_EQ(name, "TX10A");
    EXPECT_EQ(version, "");
    ServerDescription::splitAnnouncedName("TX10A/1.2/beta", name, version);
    EXPECT_EQ(name, "TX10A");
    EXPECT_EQ(version, "1.2/beta");
    ServerDescription::splitAnnouncedName("/3", name, version);
    EXPECT_EQ(name, "");
    EXPECT_EQ(version, "3");
}

TEST(ServerDescriptionTest, ReadsOnlyCompleteBracedUidTexts)
{
    Tessel::UID uid = ServerDescription::parseUid("{0123abcd-4567-89AB-CDEF-0123456789AB}");
    EXPECT_EQ(uid.toString(), "{0123ABCD-4567-89AB-CDEF-0123456789AB}");
    EXPECT_TRUE(ServerDescription::parseUid("").isNull());
    EXPECT_TRUE(ServerDescription::parseUid("0123ABCD-4567-89AB-CDEF-0123456789AB").isNull());
    EXPECT_TRUE(ServerDescription::parseUid("{0123ABCD-4567-89AB-CDEF-0123456789}").isNull());
    EXPECT_TRUE(ServerDescription::parseUid("{0123ABCD-4567-89AB-CDEF-0123456789XY}").isNull());
}

TEST(ServerDescriptionTest, MakesAFreshLocalUidInBracesForm)
{
    Tessel::AutoPtr<ServerDescription> a = new ServerDescription;
    Tessel::AutoPtr<ServerDescription> b = new ServerDescription;
    Tessel::UID parsed;
    EXPECT_TRUE(parsed.fromString(a->localUid));
    EXPECT_EQ(parsed.toString(), a->localUid); // upper-case digits
    EXPECT_NE(a->localUid, b->localUid);
}

TEST(ServerDescriptionTest, HostTextFollowsHostNameAddressAndFlags)
{
    Tessel::AutoPtr<ServerDescription> d = new ServerDescription;
    d->address = "10.0.0.5";
    EXPECT_EQ(d->getHostText(), "10.0.0.5");
    d->hostName = "10.0.0.5";
    EXPECT_EQ(d->getHostText(), "10.0.0.5");
    d->hostName = "stage-left";
    EXPECT_EQ(d->getHostText(), "stage-left (10.0.0.5)");
    d->infoFlags = 1;
    EXPECT_EQ(d->getHostText(), "");
}

TEST(ServerDescriptionTest, ReadsDeviceRecordFieldsWithoutTerminators)
{
    lknet::DeviceInfo info;
    std::memset(info.hostName, 'h', sizeof info.hostName); // no NUL: the field's end stops it
    std::strcpy(info.address, "192.168.1.20");
    info.port = 51234;
    Tessel::AutoPtr<ServerDescription> d = new ServerDescription;
    d->setDeviceInfo(info);
    EXPECT_EQ(d->address, "192.168.1.20");
    EXPECT_EQ(d->hostName, std::string(64, 'h'));
    EXPECT_EQ(d->port, 51234);
}

TEST_F(Presentation, StartsTheLibraryWithTheComputerNameAndRegistersOnlyWhenStarted)
{
    manager->startup();
    ASSERT_TRUE(manager->isStarted());
    std::vector<std::string> expected = {"configure B?ro-PC", "startup", "addNetworkListener",
                                         "addErrorReporter"};
    EXPECT_EQ(library.calls, expected);
    platform.advance(30);
    EXPECT_GT(library.processCount, 0);
}

TEST_F(Presentation, FailedStartLeavesTheListEmptyAndTheLibraryUnpolled)
{
    library.startupResult = lknet::kErrorSocket;
    manager->startup();
    EXPECT_FALSE(manager->isStarted());
    EXPECT_EQ(library.count("addNetworkListener"), 0);
    platform.advance(100);
    EXPECT_EQ(library.processCount, 0);
    EXPECT_FALSE(hasItems());
}

TEST_F(Presentation, DeviceReportsTakeEffectOnTheLoopNotInsideTheCallback)
{
    manager->startup();
    library.setDevice(5, "10.0.0.5", "amp-rack", 4000);
    library.announce(5, "TX10A/2.1", "DEV", "123", "{00000000-0000-0000-0000-000000000001}", 0x13);
    EXPECT_EQ(manager->getItems().countItems(), 0);
    platform.advance(0);
    ASSERT_EQ(manager->getItems().countItems(), 1);
    TestItem* item = manager->item(0);
    EXPECT_EQ(item->getOwner(), manager.get());
    EXPECT_EQ(item->findParameter("name")->toString(), "TX10A");
    EXPECT_EQ(item->findParameter("version")->toString(), "2.1");
    EXPECT_EQ(item->findParameter("hostname")->toString(), "amp-rack (10.0.0.5)");
    Tessel::Variant type;
    item->getProperty("interfaceType", type);
    EXPECT_EQ(type.asInt(), 3);
    EXPECT_EQ(item->getDescription()->deviceUid.toString(), "{00000000-0000-0000-0000-000000000001}");
    EXPECT_TRUE(hasItems());
    std::vector<std::string> expected = {"itemAdded", "propertyChanged"};
    EXPECT_EQ(recorder->ids, expected);
    // The item is a child named by its serial number, so the skin can address it.
    EXPECT_EQ(manager->lookupChild("123"), item);
}

TEST_F(Presentation, DevicesThatDoNotBelongChangeNothing)
{
    manager->startup();
    addDevice(5, "Router", "1", "10.0.0.1", 80, "NET");
    EXPECT_FALSE(hasItems());
    EXPECT_TRUE(recorder->ids.empty());
}

TEST_F(Presentation, IdleTicksProcessTheLibraryThenEveryItem)
{
    manager->startup();
    addDevice(5, "A", "1");
    addDevice(6, "B", "2");
    int before = library.processCount;
    manager->item(0)->idles = manager->item(1)->idles = 0;
    platform.advance(100);
    EXPECT_GE(library.processCount - before, 10);
    EXPECT_EQ(manager->item(0)->idles, library.processCount - before);
    EXPECT_EQ(manager->item(1)->idles, library.processCount - before);
}

TEST_F(Presentation, UnknownServerIdChangesNothing)
{
    manager->startup();
    addDevice(5, "A", "1");
    recorder->ids.clear();
    library.withdraw(99);
    platform.advance(0);
    EXPECT_EQ(manager->getItems().countItems(), 1);
    EXPECT_TRUE(recorder->ids.empty());
}

TEST_F(Presentation, RemovedItemIsDetachedAndSignalled)
{
    manager->startup();
    addDevice(5, "A", "1");
    Tessel::SharedPtr<TestItem> item = Tessel::retained(manager->item(0));
    recorder->ids.clear();
    library.withdraw(5);
    platform.advance(0);
    EXPECT_FALSE(hasItems());
    EXPECT_EQ(item->getOwner(), nullptr);
    EXPECT_EQ(item->getParent(), nullptr);
    EXPECT_EQ(item->events, std::vector<std::string>{"detach false"});
    std::vector<std::string> expected = {"itemRemoved", "propertyChanged"};
    EXPECT_EQ(recorder->ids, expected);
}

TEST_F(Presentation, ItemThatRefusesRemovalIsRetriedEverySecondUntilItAllows)
{
    manager->startup();
    addDevice(5, "A", "1");
    Tessel::SharedPtr<TestItem> item = Tessel::retained(manager->item(0));
    item->removable = false;
    library.withdraw(5);
    platform.advance(0);
    EXPECT_EQ(manager->getItems().countItems(), 1);
    platform.advance(999);
    EXPECT_EQ(manager->getItems().countItems(), 1);
    platform.advance(1500); // two more refusals
    EXPECT_EQ(manager->getItems().countItems(), 1);
    item->removable = true;
    platform.advance(499); // the retry at 3000 ms is not yet due
    EXPECT_EQ(manager->getItems().countItems(), 1);
    platform.advance(10);
    EXPECT_EQ(manager->getItems().countItems(), 0);
    EXPECT_EQ(item->events, std::vector<std::string>{"detach false"});
}

TEST_F(Presentation, ConnectionErrorsNameTheDeviceAndSetTheErrorState)
{
    manager->startup();
    library.setDevice(5, "10.0.0.5", "stage-left", 4000);
    library.announce(5, "TX20A", "DEV", "1");
    addDevice(6, "TX30A", "2", "10.0.0.6", 4000);
    recorder->ids.clear();

    library.reportError(lknet::kErrorConnectionLost, "10.0.0.5", 4000);
    platform.advance(0);
    EXPECT_EQ(errorMessage(), "Limited or no connectivity to \"TX20A stage-left (10.0.0.5)\".");
    EXPECT_EQ(errorState(), 1);
    EXPECT_TRUE(hasErrors());
    EXPECT_EQ(recorder->ids, std::vector<std::string>{"propertyChanged"});
    EXPECT_EQ(manager->item(0)->events, std::vector<std::string>{"error 1003"});
    EXPECT_TRUE(manager->item(1)->events.empty());
}

TEST_F(Presentation, OnlyErrors1002And1003ForAKnownPeerCount)
{
    manager->startup();
    addDevice(5, "TX20A", "1", "10.0.0.5", 4000);
    library.reportError(1001, "10.0.0.5", 4000);
    library.reportError(lknet::kErrorConnectionLost, "10.0.0.5", 4001);
    library.reportError(lknet::kErrorConnectionLost, "10.0.0.9", 4000);
    platform.advance(0);
    EXPECT_EQ(errorState(), 0);
    EXPECT_EQ(errorMessage(), "");
    EXPECT_TRUE(manager->item(0)->events.empty());

    library.reportError(lknet::kErrorConnectionRestored, "10.0.0.5", 4000);
    platform.advance(0);
    EXPECT_EQ(errorMessage(), "Limited or no connectivity to \"TX20A 10.0.0.5\".");
    EXPECT_EQ(manager->item(0)->events, std::vector<std::string>{"error 1002"});
}

TEST_F(Presentation, RescanClearsTheErrorStateAnnouncesItAndKeepsTheText)
{
    manager->startup();
    addDevice(5, "TX20A", "1", "10.0.0.5", 4000);
    library.reportError(lknet::kErrorConnectionLost, "10.0.0.5", 4000);
    platform.advance(0);
    library.calls.clear();
    recorder->ids.clear();

    EXPECT_TRUE(manager->interpretCommand(Tessel::CommandMsg("Network", "Rescan All", true)));
    EXPECT_TRUE(library.calls.empty()); // asking changes nothing
    EXPECT_EQ(errorState(), 1);

    manager->findParameter("rescanAll")->setValue(Tessel::Variant(1)); // the skin's button
    EXPECT_EQ(library.calls, std::vector<std::string>{"resume 1"});
    EXPECT_EQ(errorState(), 0);
    EXPECT_FALSE(hasErrors());
    EXPECT_NE(errorMessage(), "");
    // The banner re-reads "hasErrors" on "propertyChanged": without it the banner never clears. The
    // search itself is announced too ("searching", "rescanMessage").
    EXPECT_EQ(recorder->ids, std::vector<std::string>(3, "propertyChanged"));
    EXPECT_TRUE(property("searching").asInt() != 0);
    EXPECT_EQ(property("rescanMessage").asString(), "Searching the network\u2026");
    recorder->ids.clear();
    manager->findParameter("rescanAll")->setValue(Tessel::Variant(1));
    EXPECT_EQ(recorder->ids, std::vector<std::string>(2, "propertyChanged")) << "no error to clear this time";

    // The search ends once every known device had its time to answer (a second rescan starts the
    // time anew); the list then holds exactly the devices that answered.
    addDevice(6, "TX10A", "2", "10.0.0.6", 4000);
    platform.advance(NetworkPresentationManager::kRescanWindowMs - 1);
    EXPECT_TRUE(property("searching").asInt() != 0);
    platform.advance(1);
    EXPECT_FALSE(property("searching").asInt() != 0);
    EXPECT_EQ(property("rescanMessage").asString(), "2 speakers answered");
    library.withdraw(5);
    manager->findParameter("rescanAll")->setValue(Tessel::Variant(1));
    platform.advance(NetworkPresentationManager::kRescanWindowMs);
    EXPECT_EQ(property("rescanMessage").asString(), "1 speaker answered");

    EXPECT_TRUE(manager->interpretCommand(Tessel::CommandMsg("Network", "Simulate Errors")));
    EXPECT_EQ(library.count("simulateErrors"), 1);
    EXPECT_FALSE(manager->interpretCommand(Tessel::CommandMsg("Speaker", "Rescan All")));
}

TEST_F(Presentation, ShutdownDetachesEveryItemThenStopsTheLibraryAndStaysDown)
{
    manager->startup();
    addDevice(5, "A", "1");
    addDevice(6, "B", "2");
    Tessel::SharedPtr<TestItem> first = Tessel::retained(manager->item(0));
    library.clear();
    recorder->ids.clear();
    // A report still on its way when the manager shuts down.
    library.announce(7, "C", "DEV", "3");

    manager->shutdown();
    EXPECT_EQ(first->events, std::vector<std::string>{"detach true"});
    EXPECT_FALSE(hasItems());
    EXPECT_EQ(recorder->ids[0], "itemRemoved");
    EXPECT_EQ(recorder->ids[1], "itemRemoved");
    std::vector<std::string> expected = {"removeNetworkListener", "removeErrorReporter", "shutdown"};
    EXPECT_EQ(library.calls, expected);
    EXPECT_EQ(library.processCount, 1); // the last process() before shutdown

    platform.advance(100);
    EXPECT_FALSE(hasItems());
    EXPECT_EQ(library.processCount, 1);
    manager->startup();
    EXPECT_FALSE(manager->isStarted());
}

TEST_F(Presentation, LibraryTextsBecomeWarnings)
{
    LKReportMessage(0, "socket %d refused", 7);
    ASSERT_FALSE(platform.getWarnings().empty());
    EXPECT_EQ(platform.getWarnings().back(), "LKNET:socket 7 refused");
}

} // namespace

namespace
{

// Passes items whose model name does not start with "Hidden".
class NameFilter : public Tessel::Object, public Vellaris::IObjectFilter
{
public:
    bool hideAll = false;
    void* queryInterface(const Tessel::UID& iid) override
    {
        TESSEL_QUERY_INTERFACE(Vellaris::IObjectFilter)
        return Object::queryInterface(iid);
    }
    int retain() override { return Object::retain(); }
    int release() override { return Object::release(); }
    bool matches(Tessel::IUnknown* object) const override
    {
        auto* item = Tessel::classCast<NetworkItem>(Tessel::unknownCast<Tessel::Object>(object));
        return item && !hideAll && item->getDescription()->name.rfind("Hidden", 0) != 0;
    }
};

TEST_F(Presentation, ListViewsSeeOnlyWhatTheFilterPassesInOrder)
{
    manager->startup();
    addDevice(1, "A", "1");
    addDevice(2, "HiddenB", "2");
    addDevice(3, "C", "3");
    NetworkItemCollection& list = manager->getItems();
    Tessel::AutoPtr<TestSupport::MessageRecorder> views = new TestSupport::MessageRecorder;
    list.addObserver(views);
    Tessel::AutoPtr<NameFilter> filter = new NameFilter;
    list.setFilter(filter);
    EXPECT_EQ(views->ids, std::vector<std::string>{"changed"});
    EXPECT_EQ(list.countRows(), 2);
    EXPECT_EQ(list.getRowItem(Tessel::Variant(1)), manager->item(2));
    EXPECT_EQ(list.getRowPath(1), "Devices/3");
    EXPECT_EQ(list.getRowItem(Tessel::Variant(2)), nullptr);
    EXPECT_EQ(list.getRowItem(Tessel::Variant(-1)), nullptr);
    EXPECT_EQ(list.countItems(), 3); // code still sees every item

    // The filter's own change reaches the views.
    filter->hideAll = true;
    filter->signal(Tessel::Message("changed"));
    EXPECT_EQ(views->ids.size(), 2u);
    EXPECT_EQ(list.countRows(), 0);

    std::vector<Tessel::SharedPtr<Tessel::Component>> collected;
    filter->hideAll = false;
    list.collectItems(collected, filter);
    EXPECT_EQ(collected.size(), 2u);
    list.setFilter(nullptr);
    EXPECT_EQ(list.countRows(), 3);
    EXPECT_EQ(filter->countObservers(), 0);
    list.removeObserver(views);
}

} // namespace
