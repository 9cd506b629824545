// The speaker list: which devices become speakers, their pictures, selection through "wink",
// network setup mode, and the rules that reach the venue, the inspector and the Wi-Fi setup.
#include <gtest/gtest.h>

#include "mirror/ThemeImages.h"
#include "protocol/MessageNames.h"
#include "speaker/SpeakerClasses.h"
#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerNetworkItem.h"
#include "speaker/SpeakerNetworkManager.h"
#include "speaker/SpeakerRootComponent.h"
#include "speaker/VenueSide.h"
#include "speaker/WifiSetupSide.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/IParameter.h"
#include "tessel/StringParam.h"
#include "tests/common/FakeLibrary.h"
#include "tests/common/MessageRecorder.h"

namespace
{

using NetworkTest::FakeLibrary;
using Vellaris::ItemClickEvent;
using Vellaris::SpeakerNetworkItem;
using Vellaris::SpeakerNetworkManager;
using Vellaris::ThemeImages;

// Stands in for an active room: locked while its "locked" parameter is on.
class FakeRoom : public Tessel::Component, public Vellaris::IActiveRoom
{
public:
    FakeRoom() : Component("room") { locked = getParams().addParam("locked", 104); }
    void* queryInterface(const Tessel::UID& iid) override
    {
        TESSEL_QUERY_INTERFACE(Vellaris::IActiveRoom)
        return Component::queryInterface(iid);
    }
    int retain() override { return Component::retain(); }
    int release() override { return Component::release(); }
    bool isLocked() const override { return locked->getValue().asDouble() != 0; }
    bool holdsSpeaker(const Vellaris::SpeakerComponent*) const override { return false; }
    void setSolo(Vellaris::SpeakerComponent*, bool) override {}
    void unsolo() override {}
    Tessel::Parameter* locked;
};

// Stands in for the venue manager: its switches, its active room and the calls it gets.
class FakeVenueManager : public Tessel::Component, public Vellaris::IVenueSide
{
public:
    FakeVenueManager() : Component("VenueManager")
    {
        showVenue = getParams().addParam("showVenue", 100);
        showNetwork = getParams().addParam("showNetwork", 101);
    }
    void* queryInterface(const Tessel::UID& iid) override
    {
        TESSEL_QUERY_INTERFACE(Vellaris::IVenueSide)
        return Component::queryInterface(iid);
    }
    int retain() override { return Component::retain(); }
    int release() override { return Component::release(); }
    bool isShowingVenue() const override { return showVenue->getValue().asDouble() > 0; }
    bool isShowingNetwork() const override { return showNetwork->getValue().asDouble() > 0; }
    Vellaris::IActiveRoom* getActiveRoom() const override { return room.get(); }
    void removeSpeakerFromRooms(const std::string& serial) override
    {
        calls.push_back("removeSpeakerFromRooms " + serial);
    }
    void speakerGone(const std::string& serial, SpeakerNetworkItem*) override
    {
        calls.push_back("speakerGone " + serial);
    }
    Tessel::Parameter* showVenue;
    Tessel::Parameter* showNetwork;
    Tessel::SharedPtr<FakeRoom> room;
    std::vector<std::string> calls;
};

// Stands in for the Wi-Fi setup: the network to join and its password.
class FakeWifiSetup : public Tessel::Component, public Vellaris::IWifiSetup
{
public:
    FakeWifiSetup() : Component("NetworkSetupManager") {}
    void* queryInterface(const Tessel::UID& iid) override
    {
        TESSEL_QUERY_INTERFACE(Vellaris::IWifiSetup)
        return Component::queryInterface(iid);
    }
    int retain() override { return Component::retain(); }
    int release() override { return Component::release(); }
    std::string getJoinSsid() const override { return ssid; }
    std::string getJoinPassword() const override { return password; }
    void refresh() override {}
    std::string ssid;
    std::string password;
};

class SpeakerNetwork : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(Vellaris::registerSpeakerClasses()); }

    SpeakerNetwork()
    {
        ThemeImages::reset();
        ThemeImages::addImage("SpeakerIcon:TX10A");
        ThemeImages::addImage("SpeakerIconSelected:TX10A");
        manager = new SpeakerNetworkManager(&library);
        Tessel::getRootComponent()->addChild(manager);
        manager->startup();
    }
    ~SpeakerNetwork() override
    {
        Tessel::destroyRootComponent();
        ThemeImages::reset();
    }

    SpeakerNetworkItem* add(int server, const char* model, const char* serial, const char* type = "SPK")
    {
        library.setDevice(server, "127.0.0.1", "", uint16_t(4000 + server));
        library.announce(server, model, type, serial);
        platform.advance(0);
        return manager->findItemBySerial(serial);
    }
    static int paramValue(SpeakerNetworkItem* item, const char* name)
    {
        return int(item->getSpeakerComponent()->findParameter(name)->getValue().asInt());
    }

    Tessel::HeadlessPlatform platform;
    FakeLibrary library;
    SpeakerNetworkManager* manager = nullptr; // owned by the root component
};

TEST_F(SpeakerNetwork, ListsOnlySpeakerDevicesNamedBySerialNumber)
{
    EXPECT_EQ(add(1, "Switch", "S1", "NET"), nullptr);
    EXPECT_EQ(add(2, "TX10A", "S2", "spk"), nullptr);
    SpeakerNetworkItem* item = add(3, "TX10A", "123456789");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(manager->countSpeakers(), 1);
    EXPECT_EQ(SpeakerNetworkManager::instance(), manager);
    EXPECT_EQ(Tessel::getRootComponent()->lookupChild("SpeakerNetwork/123456789"), item);
    EXPECT_EQ(item->getSpeakerComponent()->getComponentPath(), "Speaker");
    EXPECT_NE(
        Tessel::getRootComponent()->lookupParameter("SpeakerNetwork/123456789//Speaker/line/ch1/volume"),
        nullptr);
    // The item subscribed its root to the device.
    ASSERT_FALSE(library.messages.empty());
    EXPECT_EQ(library.messages.back().messageId(), "Subscribe");
}

TEST_F(SpeakerNetwork, SpeakerIdIsTheSerialNumberOrErrorWhenMissing)
{
    SpeakerNetworkItem* item = add(1, "TX10A", "555");
    EXPECT_EQ(item->getSpeakerComponent()->findParameter("id")->toString(), "555");
    SpeakerNetworkItem* nameless = add(2, "TX10A", "");
    ASSERT_NE(nameless, nullptr);
    EXPECT_EQ(nameless->getSpeakerComponent()->findParameter("id")->toString(), "[Error]");
    EXPECT_EQ(nameless->getName(), "server2");
}

TEST_F(SpeakerNetwork, NewSpeakerHasSoloDisabled)
{
    SpeakerNetworkItem* item = add(1, "TX10A", "1");
    EXPECT_FALSE(item->getSpeakerComponent()->findParameter("solo")->isEnabled());
}

TEST_F(SpeakerNetwork, PictureFollowsModelAndSelectionWithUnknownFallback)
{
    SpeakerNetworkItem* known = add(1, "TX10A/1.0", "1");
    SpeakerNetworkItem* unknown = add(2, "TX99Z", "2");
    EXPECT_EQ(known->getIcon(), "SpeakerIcon:TX10A");
    EXPECT_EQ(unknown->getIcon(), "SpeakerIcon:Unknown");
    known->setSelected(true, false);
    unknown->setSelected(true, false);
    EXPECT_EQ(known->getIcon(), "SpeakerIconSelected:TX10A");
    EXPECT_EQ(unknown->getIcon(), "SpeakerIconSelected:Unknown");
    EXPECT_EQ(manager->getItems().getRowIcon(0), "SpeakerIconSelected:TX10A");
}

TEST_F(SpeakerNetwork, ExclusiveSelectionDeselectsTheOthersAndWinksTheDevice)
{
    SpeakerNetworkItem* a = add(1, "TX10A", "1");
    SpeakerNetworkItem* b = add(2, "TX20A", "2");
    SpeakerNetworkItem* c = add(3, "TX30A", "3");
    a->setSelected(true, false);
    b->setSelected(true, false);
    library.values.clear();
    c->setSelected(true, true);
    EXPECT_FALSE(a->isSelected());
    EXPECT_FALSE(b->isSelected());
    EXPECT_TRUE(c->isSelected());
    EXPECT_EQ(paramValue(c, "selected"), 1);
    // Two winks off and one on went to the devices.
    ASSERT_EQ(library.values.size(), 3u);
    for (const auto& [path, value] : library.values)
        EXPECT_EQ(path, "wink");
    EXPECT_FLOAT_EQ(library.values.back().second, 1.0f);
}

TEST_F(SpeakerNetwork, ClickTogglesButAnExtendingClickKeepsASelectedSpeaker)
{
    SpeakerNetworkItem* a = add(1, "TX10A", "1");
    SpeakerNetworkItem* b = add(2, "TX10A", "2");
    Vellaris::IItemListModel& list = manager->getItems();
    list.clickRow(0, ItemClickEvent{});
    EXPECT_TRUE(a->isSelected());
    list.clickRow(0, ItemClickEvent{ItemClickEvent::kClickKindToggle, ItemClickEvent::kModifierExtend});
    EXPECT_TRUE(a->isSelected());
    list.clickRow(0, ItemClickEvent{});
    EXPECT_FALSE(a->isSelected());
    list.openRow(1);
    EXPECT_TRUE(b->isSelected());
    // A double click is a click and then an open: the speaker stays selected.
    list.clickRow(1, ItemClickEvent{});
    list.openRow(1);
    EXPECT_TRUE(b->isSelected());
    EXPECT_FALSE(list.clickRow(2, ItemClickEvent{}));
    EXPECT_EQ(list.getRowItem(Tessel::Variant(1.0)), nullptr); // not an integer index
    EXPECT_EQ(list.getRowItem(Tessel::Variant(1)), b);
}

TEST_F(SpeakerNetwork, WinkFromTheDeviceUpdatesPictureAndSignalsSelection)
{
    SpeakerNetworkItem* item = add(1, "TX10A", "1");
    Tessel::AutoPtr<TestSupport::MessageRecorder> recorder = new TestSupport::MessageRecorder;
    manager->addObserver(recorder);
    // As the mirror applies an incoming value: no notification of the controller.
    item->getSpeakerComponent()->findParameter("wink")->setValue(Tessel::Variant(1), false);
    EXPECT_TRUE(item->isSelected());
    EXPECT_EQ(item->getIcon(), "SpeakerIconSelected:TX10A");
    EXPECT_EQ(recorder->ids, std::vector<std::string>{"selectionChanged"});
    manager->removeObserver(recorder);
}

TEST_F(SpeakerNetwork, NetworkSetupModeSelectsAllAndLocksSelectionUntilItEnds)
{
    SpeakerNetworkItem* a = add(1, "TX10A", "1");
    SpeakerNetworkItem* b = add(2, "TX10A", "2");
    manager->setNetworkSetupMode(true);
    EXPECT_TRUE(a->isSelected() && b->isSelected());
    EXPECT_EQ(paramValue(a, "networksetupmode"), 1);
    EXPECT_EQ(paramValue(b, "networksetupmode"), 1);
    manager->getItems().clickRow(0, ItemClickEvent{});
    a->setSelected(false, false);
    EXPECT_TRUE(a->isSelected());
    // A speaker that joins now is locked as well.
    SpeakerNetworkItem* c = add(3, "TX10A", "3");
    EXPECT_FALSE(c->isSelectable());

    manager->setNetworkSetupMode(false);
    EXPECT_FALSE(a->isSelected() || b->isSelected());
    EXPECT_EQ(paramValue(a, "networksetupmode"), 0);
    manager->getItems().clickRow(0, ItemClickEvent{});
    EXPECT_TRUE(a->isSelected());
}

TEST_F(SpeakerNetwork, SpeakerAnnouncedWhileShowNetworkIsOnEntersSetupMode)
{
    auto* venues = new FakeVenueManager;
    Tessel::getRootComponent()->addChild(venues);
    venues->showNetwork->setValue(Tessel::Variant(1), false);
    SpeakerNetworkItem* item = add(1, "TX10A", "1");
    EXPECT_EQ(paramValue(item, "networksetupmode"), 1);
}

TEST_F(SpeakerNetwork, DeselectAllBeforeSuspendLeavesNoSpeakerSelected)
{
    SpeakerNetworkItem* a = add(1, "TX10A", "1");
    a->setSelected(true, true);
    manager->deselectAll();
    EXPECT_FALSE(a->isSelected());
}

TEST_F(SpeakerNetwork, FindsItemsBySerialExactlyAndByComponent)
{
    SpeakerNetworkItem* a = add(1, "TX10A", "AB12");
    SpeakerNetworkItem* b = add(2, "TX10A", "ab12");
    EXPECT_EQ(manager->findItemBySerial("AB12"), a);
    EXPECT_EQ(manager->findItemBySerial("ab12"), b);
    EXPECT_EQ(manager->findItemBySerial("AB1"), nullptr);
    EXPECT_EQ(manager->findItemByComponent(b->getSpeakerComponent()), b);
    EXPECT_EQ(manager->findItemByComponent(nullptr), nullptr);
}

TEST_F(SpeakerNetwork, RestoredConnectionResubscribesButALostOneOnlyReports)
{
    add(1, "TX10A", "1");
    library.calls.clear();
    library.reportError(lknet::kErrorConnectionLost, "127.0.0.1", 4001);
    platform.advance(0);
    EXPECT_EQ(library.count("send message Subscribe"), 0);
    library.reportError(lknet::kErrorConnectionRestored, "127.0.0.1", 4001);
    platform.advance(0);
    EXPECT_EQ(library.count("send message Subscribe"), 1);
}

TEST_F(SpeakerNetwork, LeavingSpeakerIsDeselectedUnsubscribedOnlyAtShutdownAndVenueIsTold)
{
    auto* venues = new FakeVenueManager;
    Tessel::getRootComponent()->addChild(venues);
    SpeakerNetworkItem* a = add(1, "TX10A", "1");
    add(2, "TX10A", "2");
    a->setSelected(true, true);
    Tessel::SharedPtr<SpeakerNetworkItem> keep = Tessel::retained(a);
    library.calls.clear();
    library.withdraw(1);
    platform.advance(0);
    EXPECT_FALSE(keep->isSelected());
    EXPECT_EQ(keep->getRoot()->getServer(), 0);
    EXPECT_EQ(library.count("send message Unsubscribe"), 0);
    EXPECT_EQ(venues->calls, std::vector<std::string>{"speakerGone 1"});

    manager->shutdown();
    EXPECT_EQ(library.count("send message Unsubscribe"), 1);
}

TEST_F(SpeakerNetwork, JoinRequestGoesToEveryAttachedSpeakerOnlyWithSsidAndPassword)
{
    add(1, "TX10A", "1");
    add(2, "TX10A", "2");
    library.messages.clear();
    manager->requestNetworkChange();
    EXPECT_TRUE(library.messages.empty());

    auto* setup = new FakeWifiSetup;
    setup->ssid = "Stage Wi-Fi";
    setup->password = "s3cret";
    Tessel::getRootComponent()->addChild(setup);
    manager->requestNetworkChange();
    ASSERT_EQ(library.messages.size(), 2u);
    for (const auto& message : library.messages)
    {
        EXPECT_EQ(message.messageId(), "requestNetworkChange");
        EXPECT_EQ(message.url(), "Speaker");
        EXPECT_EQ(message.getText(Vellaris::LK::Message::kRequestNetworkSSID), "Stage Wi-Fi");
        EXPECT_EQ(message.getText(Vellaris::LK::Message::kRequestNetworkPw), "s3cret");
    }

    // A speaker that left, and every speaker once the list shuts down, is asked no more.
    library.withdraw(1);
    platform.advance(0);
    library.messages.clear();
    manager->requestNetworkChange();
    EXPECT_EQ(library.messages.size(), 1u);
    manager->shutdown();
    library.messages.clear();
    manager->requestNetworkChange();
    EXPECT_TRUE(library.messages.empty());
}

TEST_F(SpeakerNetwork, EditSpeakerPropsSelectsExclusivelyAndOpensTheInspector)
{
    auto* inspector = new Tessel::Component("Inspector");
    Tessel::Parameter* show = inspector->getParams().addParam("showSpeakerProps", 104);
    Tessel::getRootComponent()->addChild(inspector);
    SpeakerNetworkItem* a = add(1, "TX10A", "1");
    SpeakerNetworkItem* b = add(2, "TX10A", "2");
    a->setSelected(true, true);
    b->findParameter("editSpeakerProps")->setValue(Tessel::Variant(1));
    EXPECT_TRUE(b->isSelected());
    EXPECT_FALSE(a->isSelected());
    EXPECT_EQ(show->getValue().asInt(), 1);
}

TEST_F(SpeakerNetwork, RemoveFromRoomAsksTheVenueBySerialNumber)
{
    auto* venues = new FakeVenueManager;
    Tessel::getRootComponent()->addChild(venues);
    SpeakerNetworkItem* a = add(1, "TX10A", "777");
    a->findParameter("removeFromRoom")->setValue(Tessel::Variant(1));
    a->findParameter("removeFromRoom")->setValue(Tessel::Variant(1));
    std::vector<std::string> expected = {"removeSpeakerFromRooms 777", "removeSpeakerFromRooms 777"};
    EXPECT_EQ(venues->calls, expected);
}

TEST_F(SpeakerNetwork, DragNeedsAShownVenueWithAnUnlockedActiveRoom)
{
    SpeakerNetworkItem* a = add(1, "TX10A", "1");
    EXPECT_FALSE(a->canDrag());
    EXPECT_EQ(manager->getItems().dragRow(0), nullptr);
    auto* venues = new FakeVenueManager;
    Tessel::getRootComponent()->addChild(venues);
    venues->showVenue->setValue(Tessel::Variant(1), false);
    EXPECT_FALSE(a->canDrag()); // no active room
    Tessel::AutoPtr<FakeRoom> room = new FakeRoom;
    Tessel::Parameter* locked = room->locked;
    venues->room = Tessel::retained(room.get());
    EXPECT_TRUE(a->canDrag());
    EXPECT_EQ(manager->getItems().dragRow(0),
              static_cast<Tessel::IUnknown*>(static_cast<Tessel::Object*>(a)));
    locked->setValue(Tessel::Variant(1), false);
    EXPECT_FALSE(a->canDrag());
}

} // namespace

TEST_F(SpeakerNetwork, ASecondDeviceWithTheSameSerialGetsAPathOfItsOwnAndIsMarked)
{
    SpeakerNetworkItem* first = add(1, "TX10A", "555");
    add(2, "TX20A", "555");
    ASSERT_EQ(manager->countSpeakers(), 2);
    SpeakerNetworkItem* second = manager->getSpeaker(1);
    ASSERT_NE(second, first);
    EXPECT_NE(first->getName(), second->getName());
    EXPECT_FALSE(first->isDuplicate());
    EXPECT_TRUE(second->isDuplicate());
    EXPECT_EQ(manager->lookupChild(first->getName()), first);
    EXPECT_EQ(manager->lookupChild(second->getName()), second);
    // Each row's controls reach its own device only.
    library.valueDestinations.clear();
    second->getSpeakerComponent()->getVolume()->setValue(Tessel::Variant(-10.0), true);
    platform.advance(0);
    ASSERT_FALSE(library.valueDestinations.empty());
    for (uint32_t destination : library.valueDestinations)
        EXPECT_EQ(destination, uint32_t(second->getRoot()->getServer()));
}
