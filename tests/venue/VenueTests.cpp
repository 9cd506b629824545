// Venues, rooms, groups and positions: their structure, their files and how positions follow the
// speakers on the network.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include "tessel/AttributeList.h"
#include "tessel/Attributes.h"
#include "tessel/FileUtilities.h"
#include "tessel/Json.h"
#include "tests/venue/VenueTestSupport.h"
#include "venue/MasterComponent.h"
#include "venue/SpeakerGroup.h"
#include "venue/VenueCacheItem.h"
#include "venue/VenueFiles.h"

using Vellaris::SpeakerGroup;
using Vellaris::SpeakerPosition;
using Vellaris::SpeakerRoom;
using Vellaris::Venue;
using Vellaris::VenueFiles;
using VenueTest::VenueFixture;

namespace
{

std::set<std::string> keysOf(const Tessel::Attributes& attributes)
{
    std::set<std::string> keys;
    for (int i = 0; i < attributes.count(); ++i)
        keys.insert(attributes.keyAt(i));
    return keys;
}

Tessel::Attributes readJson(const std::string& path)
{
    Tessel::Attributes result;
    EXPECT_TRUE(Tessel::JsonParse(VenueFixture::readText(path), result)) << path;
    return result;
}

} // namespace

using VenueStructure = VenueFixture;

TEST_F(VenueStructure, FreshVenueHasOneActiveRoomWithOneTopsGroup)
{
    Tessel::UID id;
    EXPECT_TRUE(id.fromString(venue->getVenueID()));
    EXPECT_EQ(venue->getVenueID(), id.toString()) << "upper-case braces form";
    ASSERT_EQ(venue->countRooms(), 1);
    SpeakerRoom* only = venue->getRoom(0);
    EXPECT_TRUE(only->isActive());
    EXPECT_EQ(only->getTitle(), "New Group...");
    ASSERT_EQ(only->getGroups().size(), 1u);
    EXPECT_EQ(only->getGroups()[0]->getType(), SpeakerGroup::kTops);
    EXPECT_EQ(only->getGroups()[0]->getTitle(), "Tops");
    Tessel::Variant value;
    ASSERT_TRUE(venue->getProperty("numRooms", value));
    EXPECT_EQ(value.asInt(), 1);
    ASSERT_TRUE(venue->getProperty("hasRooms", value));
    EXPECT_EQ(value.asInt(), 1);
    ASSERT_TRUE(venue->getProperty("isConfigured", value));
    EXPECT_EQ(value.asInt(), 1);
}

TEST_F(VenueStructure, ChildNamesReachTheActiveRoomAndRoomsByIndex)
{
    SpeakerRoom* second = venue->newRoom(true);
    EXPECT_EQ(venue->findChild("activeRoom"), second);
    EXPECT_EQ(venue->findChild("room[0]"), venue->getRoom(0));
    EXPECT_EQ(venue->findChild("room[1]"), second);
    EXPECT_EQ(venue->findChild("room[2]"), nullptr);
    EXPECT_EQ(venue->findChild("room[-1]"), nullptr);
    EXPECT_EQ(venue->findChild("room[x]"), nullptr);
    EXPECT_EQ(venue->findChild("room[]"), nullptr);
    EXPECT_EQ(Tessel::getRootComponent()->lookupParameter("VenueManager/activeVenue/activeRoom/muteAll"),
              second->findParameter("muteAll"));
}

TEST_F(VenueStructure, CloseEntriesCloseTheirOwnRoomAndTheListFollows)
{
    SpeakerRoom* first = venue->getRoom(0);
    venue->newRoom(false);
    SpeakerRoom* third = venue->newRoom(false);
    third->setRoomTitle("Bar");
    venue->getRoom(1)->setRoomTitle("Hall");
    venue->notify(nullptr, Tessel::Message("changed"));
    Tessel::IParameter* list = venue->findParameter("roomList");
    ASSERT_EQ(list->countEntries(), 3);
    EXPECT_EQ(list->getEntry(2), "Bar");

    venue->findParameter("closeRoom[1]")->setValue(1);
    ASSERT_EQ(venue->countRooms(), 2);
    EXPECT_EQ(venue->getRoom(1), third);
    EXPECT_EQ(list->getEntry(1), "Bar");
    EXPECT_EQ(venue->findParameter("closeRoom[2]"), nullptr) << "the entries are renumbered";
    ASSERT_NE(venue->findParameter("closeRoom[1]"), nullptr);

    // Closing the active room makes the first one active.
    venue->setActiveRoom(third);
    EXPECT_EQ(list->getValue().asInt(), 1);
    venue->findParameter("closeRoom[1]")->setValue(1);
    EXPECT_EQ(venue->getActiveRoom(), first);

    // "Close" without an argument closes the active room; the last one switches the venue view off.
    manager->findParameter("showVenue")->setValue(1);
    venue->findParameter("closeRoom")->setValue(1);
    EXPECT_EQ(venue->countRooms(), 0);
    EXPECT_EQ(manager->findParameter("showVenue")->getValue().asInt(), 0);
    EXPECT_EQ(manager->getActiveRoom(), nullptr);

    // "Mono" makes a room again and shows the venue.
    venue->findParameter("configureRoom")->setValue(1);
    EXPECT_EQ(venue->countRooms(), 1);
    EXPECT_EQ(manager->findParameter("showVenue")->getValue().asInt(), 1);
}

TEST_F(VenueStructure, CommandsAskedOnlyChangeNothing)
{
    EXPECT_TRUE(venue->interpretCommand(Tessel::CommandMsg("File", "New", true)));
    EXPECT_TRUE(venue->interpretCommand(Tessel::CommandMsg("File", "Close", true)));
    EXPECT_TRUE(venue->interpretCommand(Tessel::CommandMsg("File", "Save", true)));
    EXPECT_EQ(venue->countRooms(), 1);
    venue->closeAllRooms();
    EXPECT_FALSE(venue->interpretCommand(Tessel::CommandMsg("File", "Save", true)))
        << "nothing to save without an active room";
}

TEST_F(VenueStructure, ChoosingARoomInTheListActivatesIt)
{
    SpeakerRoom* second = venue->newRoom(false);
    venue->findParameter("roomList")->setValue(1);
    EXPECT_EQ(venue->getActiveRoom(), second);
    EXPECT_FALSE(venue->getRoom(0)->isActive());
}

TEST_F(VenueStructure, MasterGroupVisitsTheOtherGroupsAndInsertionIsBounded)
{
    announce(1, "A");
    announce(2, "B");
    Tessel::AutoPtr<SpeakerGroup> master = new SpeakerGroup(SpeakerGroup::kMaster);
    Tessel::AutoPtr<SpeakerGroup> subs = new SpeakerGroup(SpeakerGroup::kSubs);
    room()->addGroup(master);
    room()->addGroup(subs);
    SpeakerPosition* a = place("A");
    SpeakerPosition* b = place("B", subs);
    EXPECT_EQ(master->positions(), (std::vector<SpeakerPosition*>{a, b}));
    EXPECT_TRUE(master->containsPosition(b));
    EXPECT_EQ(room()->speakerCount(), 2) << "the master group does not count a speaker twice";

    Tessel::AutoPtr<SpeakerPosition> late = new SpeakerPosition("C");
    EXPECT_FALSE(subs->insertPosition(late, 5));
    EXPECT_TRUE(subs->insertPosition(late, 0));
    EXPECT_EQ(subs->getOwnPositions().front().get(), late.get());
    EXPECT_EQ(subs->findPosition("c"), nullptr) << "serial numbers match exactly";
    EXPECT_EQ(SpeakerGroup::typeName(7), "");
}

using VenueFilesTest = VenueFixture;

TEST_F(VenueFilesTest, FileHoldsExactlyTheStoredKeys)
{
    announce(1, "111");
    venue->setVenueName("Club", true);
    room()->setRoomTitle("Main");
    Tessel::AutoPtr<SpeakerGroup> custom = new SpeakerGroup(SpeakerGroup::kCustom, "Fills");
    room()->addGroup(custom);
    place("111", custom)->setLocation(12, 34);
    place("999"); // not on the network: its stored copy is written
    ASSERT_TRUE(VenueFiles::saveVenue(*venue, false));

    const std::string file = VenueFiles::getVenueFile(*venue);
    EXPECT_EQ(std::filesystem::path(file).parent_path().string(), documents + "/Vellaris/Ambrel/Venues");
    EXPECT_EQ(std::filesystem::path(file).filename().string(), "Club_" + venue->getVenueID() + ".venue");
    Tessel::Attributes stored = readJson(file);
    EXPECT_EQ(keysOf(stored), (std::set<std::string>{"venueID", "title", "rooms"}));
    EXPECT_EQ(stored.getString("title"), "Club");
    const Tessel::Attributes* storedRoom = stored.getList("rooms")->attributesAt(0);
    EXPECT_EQ(keysOf(*storedRoom),
              (std::set<std::string>{"roomID", "title", "groups", "masterGEQ", "locked"}));
    std::set<std::string> geqKeys{"on", "ston"};
    for (int band = 1; band <= 31; ++band)
        geqKeys.insert("gain" + std::to_string(band));
    EXPECT_EQ(keysOf(*storedRoom->getAttributes("masterGEQ")), geqKeys);
    const Tessel::AttributeList* groups = storedRoom->getList("groups");
    ASSERT_EQ(groups->count(), 2);
    EXPECT_EQ(keysOf(*groups->attributesAt(0)), (std::set<std::string>{"type", "positions"}));
    EXPECT_EQ(keysOf(*groups->attributesAt(1)), (std::set<std::string>{"type", "title", "positions"}));
    const Tessel::Attributes* position = groups->attributesAt(1)->getList("positions")->attributesAt(0);
    EXPECT_EQ(keysOf(*position), (std::set<std::string>{"speakerID", "locationX", "locationY", "speaker"}));
    EXPECT_EQ(position->getInt("locationY"), 34);
    ASSERT_NE(position->getAttributes("speaker"), nullptr);
    EXPECT_NE(position->getAttributes("speaker")->getAttributes("Speaker"), nullptr)
        << "the live speaker's settings";

    Tessel::Attributes cache = readJson(VenueFiles::getCacheFile(*venue));
    EXPECT_EQ(keysOf(cache), (std::set<std::string>{"numGroups", "numSpeakers", "name", "id"}));
    EXPECT_EQ(cache.getInt("numSpeakers"), 2);
    EXPECT_EQ(cache.getInt("numGroups"), 1);
    EXPECT_EQ(cache.getString("name"), "Club");
    EXPECT_EQ(cache.getString("id"), "");
}

TEST_F(VenueFilesTest, GroupTitlesTypesAndSpeakerStatesReadAsStored)
{
    const std::string file = documents + "/hand.venue";
    ASSERT_TRUE(writeText(file, R"({"venueID":"{0123ABCD-0000-1111-2222-333344445555}","title":"Hand",
        "rooms":[{"roomID":"r1","title":"One","groups":[
          {"type":4,"title":"Balcony","positions":[{"speakerID":"7","locationX":1,"locationY":2,"speaker":5}]},
          {"type":1,"title":"Ignored","positions":[]},
          {"type":9,"title":"Clamped up","positions":[]},
          {"type":-3,"positions":[]}]},
          {"roomID":"r2","title":"Two","groups":[]}]})"));
    ASSERT_TRUE(VenueFiles::loadVenue(*venue, file));
    EXPECT_EQ(venue->getVenueID(), "{0123ABCD-0000-1111-2222-333344445555}");
    EXPECT_EQ(venue->getVenueName(), "Hand");
    ASSERT_EQ(venue->countRooms(), 2);
    EXPECT_EQ(venue->getActiveRoom(), venue->getRoom(0));
    EXPECT_EQ(venue->getRoom(1)->getRoomID(), "r2");
    const std::vector<SpeakerGroup*> groups = venue->getRoom(0)->getGroups();
    ASSERT_EQ(groups.size(), 4u);
    EXPECT_EQ(groups[0]->getTitle(), "Balcony");
    EXPECT_EQ(groups[1]->getTitle(), "Subs");
    EXPECT_EQ(groups[2]->getType(), SpeakerGroup::kCustom);
    EXPECT_EQ(groups[2]->getTitle(), "Clamped up");
    EXPECT_EQ(groups[3]->getType(), SpeakerGroup::kMaster);
    SpeakerPosition* position = groups[0]->getOwnPositions().at(0).get();
    EXPECT_EQ(position->getLocationY(), 2);
    EXPECT_TRUE(position->getSpeakerState().isEmpty()) << "a speaker state that is no set is ignored";
    EXPECT_EQ(venue->getLastChange(), 0);

    // Written again, the custom title stays and the others are not written.
    ASSERT_TRUE(VenueFiles::saveVenue(*venue, true));
    Tessel::Attributes stored = readJson(VenueFiles::getVenueFile(*venue));
    const Tessel::AttributeList* written = stored.getList("rooms")->attributesAt(0)->getList("groups");
    EXPECT_EQ(written->attributesAt(0)->getString("title"), "Balcony");
    EXPECT_FALSE(written->attributesAt(1)->contains("title"));
    EXPECT_EQ(written->attributesAt(3)->getInt("type"), 0);
}

TEST_F(VenueFilesTest, NamesAreCleanedCappedAndNeverLeaveTheFolder)
{
    const std::string folder = VenueFiles::getVenuesFolder();
    std::set<std::string> files;
    for (const std::string& name : {std::string("../../x"), std::string(300, 'n'), std::string("a:b*c"),
                                    std::string("a*b:c"), std::string("..\\..\\y")})
    {
        Tessel::AutoPtr<Venue> other = new Venue;
        other->setVenueName(name);
        ASSERT_TRUE(VenueFiles::saveVenue(*other, true)) << name;
        const std::filesystem::path path(VenueFiles::getVenueFile(*other));
        EXPECT_EQ(path.parent_path().string(), folder) << name;
        EXPECT_TRUE(std::filesystem::exists(path)) << name;
        const std::string base = path.filename().string();
        EXPECT_EQ(base.find_first_of(":*/\\"), std::string::npos) << base;
        EXPECT_EQ(base.find(".."), std::string::npos) << base;
        EXPECT_LE(base.size(), Tessel::FileUtilities::kMaxFileNameLength + 45) << "capped";
        EXPECT_NE(base.find(other->getVenueID()), std::string::npos) << "the ID stays in the name";
        files.insert(base);
    }
    EXPECT_EQ(files.size(), 5u) << "names that clean to the same text still get their own files";
    EXPECT_FALSE(std::filesystem::exists(documents + "/Vellaris/x_")) << "nothing climbed out";
}

TEST_F(VenueFilesTest, EmptyVenueIsOnlyWrittenWhenForced)
{
    EXPECT_FALSE(VenueFiles::saveVenue(*venue, false));
    venue->setVenueName("My New Venue");
    EXPECT_FALSE(VenueFiles::saveVenue(*venue, false));
    EXPECT_FALSE(std::filesystem::exists(VenueFiles::getVenueFile(*venue)));
    EXPECT_TRUE(VenueFiles::saveVenue(*venue, true));
    EXPECT_TRUE(std::filesystem::exists(VenueFiles::getVenueFile(*venue)));
    venue->newRoom(false);
    EXPECT_TRUE(VenueFiles::saveVenue(*venue, false)) << "two rooms are worth keeping";
}

TEST_F(VenueFilesTest, FailedWriteLeavesThePreviousFile)
{
    venue->setVenueName("Keep");
    ASSERT_TRUE(VenueFiles::saveVenue(*venue, false));
    const std::string file = VenueFiles::getVenueFile(*venue);
    const std::string before = readText(file);
    venue->newRoom(false);
    platform.setWritesFail(true);
    EXPECT_FALSE(VenueFiles::saveVenue(*venue, false));
    platform.setWritesFail(false);
    EXPECT_EQ(readText(file), before);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(VenueFiles::getVenuesFolder()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names.size(), 1u) << "no temporary file is left";
}

TEST_F(VenueFilesTest, BadFilesAreRefusedAndTheOpenVenueStays)
{
    venue->setVenueName("Open");
    venue->newRoom(false);
    const std::string id = venue->getVenueID();
    const char* bad[] = {
        "{\"venueID\": \"{0123ABCD-0000-1111-2222-333344445555}\", \"rooms\": [",
        "[1, 2]",
        R"({"venueID":"{0123ABCD-0000-1111-2222-333344445555}","rooms":"many"})",
        R"({"venueID":"{0123ABCD-0000-1111-2222-333344445555}","rooms":[7]})",
        R"({"venueID":"../../../evil","rooms":[]})",
        R"({"venueID":"{0123ABCD-0000-1111-2222-333344445555}","title":3,"rooms":[]})",
        R"({"venueID":"{0123ABCD-0000-1111-2222-333344445555}","rooms":[{"groups":[{"type":"Tops"}]}]})",
        R"({"venueID":"{0123ABCD-0000-1111-2222-333344445555}","rooms":[{"groups":[{"positions":[{"speakerID":5}]}]}]})",
        R"({"venueID":"{0123ABCD-0000-1111-2222-333344445555}","rooms":[{"masterGEQ":[1,2]}]})",
        R"({"venueID":"{0123ABCD-0000-1111-2222-333344445555}","rooms":[{"masterGEQ":{"gain3":"loud"}}]})",
        R"({"venueID":"{0123ABCD-0000-1111-2222-333344445555}","rooms":[{"locked":"yes"}]})",
    };
    int index = 0;
    for (const char* text : bad)
    {
        const std::string file = documents + "/bad" + std::to_string(index++) + ".venue";
        ASSERT_TRUE(writeText(file, text));
        platform.clearRecords();
        EXPECT_FALSE(VenueFiles::loadVenue(*venue, file)) << text;
        EXPECT_TRUE(warned(file)) << "the warning names the file: " << text;
        EXPECT_EQ(readText(file), text) << "the refused file is not touched";
        EXPECT_EQ(venue->getVenueID(), id);
        EXPECT_EQ(venue->getVenueName(), "Open");
        EXPECT_EQ(venue->countRooms(), 2);
    }
    EXPECT_FALSE(VenueFiles::loadVenue(*venue, documents + "/missing.venue"));
    EXPECT_EQ(venue->countRooms(), 2);
}

TEST_F(VenueFilesTest, SummaryFallsBackToTheVenueFile)
{
    venue->setVenueName("Summed");
    venue->newRoom(false);
    place("5");
    ASSERT_TRUE(VenueFiles::saveVenue(*venue, false));
    std::filesystem::remove(VenueFiles::getCacheFile(*venue));
    Tessel::AutoPtr<Vellaris::VenueCacheItem> item = new Vellaris::VenueCacheItem;
    ASSERT_TRUE(VenueFiles::loadCache(*item, VenueFiles::getVenueFile(*venue)));
    EXPECT_EQ(item->name, "Summed");
    EXPECT_EQ(item->id, venue->getVenueID());
    EXPECT_EQ(item->numSpeakers, 1);
    EXPECT_EQ(item->numGroups, 2);
    EXPECT_EQ(venue->countRooms(), 2) << "the open venue is not the one read";
}

TEST_F(VenueFilesTest, AVenueKeepsOneFileThroughSaveAndLoad)
{
    venue->newRoom(false); // unnamed, but worth keeping
    ASSERT_TRUE(VenueFiles::saveVenue(*venue, false));
    const std::string first = VenueFiles::getVenueFile(*venue);
    ASSERT_TRUE(VenueFiles::loadVenue(*venue, first));
    ASSERT_TRUE(VenueFiles::saveVenue(*venue, false));
    EXPECT_EQ(VenueFiles::getVenueFile(*venue), first);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(VenueFiles::getVenuesFolder()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(VenueFilesTest, ManagerSavesTheOpenVenueOnceOnTheWayOut)
{
    venue->setVenueName("Closing");
    venue->newRoom(false);
    const std::string file = VenueFiles::getVenueFile(*venue);
    manager->terminate();
    ASSERT_TRUE(std::filesystem::exists(file));
    const std::string saved = readText(file);
    manager->terminate(); // the tree is terminated again when it is destroyed
    EXPECT_EQ(readText(file), saved) << "the emptied venue must not overwrite its file";
    EXPECT_EQ(readJson(file).getList("rooms")->count(), 2);
}

TEST_F(VenueFilesTest, ShownVenueIsSavedEveryFewSecondsOnlyWhenItChanged)
{
    Vellaris::SpeakerNetworkItem* item = announce(1, "S");
    place("S");
    venue->setVenueName("Saved");
    const std::string file = VenueFiles::getVenueFile(*venue);
    platform.advance(Vellaris::VenueManager::kSaveIntervalMs);
    EXPECT_FALSE(std::filesystem::exists(file)) << "only while the venue is shown";
    manager->findParameter("showVenue")->setValue(1);
    platform.advance(Vellaris::VenueManager::kSaveIntervalMs);
    ASSERT_TRUE(std::filesystem::exists(file));
    std::filesystem::remove(file);
    platform.advance(Vellaris::VenueManager::kSaveIntervalMs);
    EXPECT_FALSE(std::filesystem::exists(file)) << "nothing changed, nothing written";
    param(item, "line/ch1/volume")->setValue(-11.0);
    platform.advance(Vellaris::VenueManager::kSaveIntervalMs);
    ASSERT_TRUE(std::filesystem::exists(file)) << "a placed speaker's setting is a change";
    EXPECT_NE(readText(file).find("-11"), std::string::npos);
}

TEST_F(VenueFilesTest, ManagerStartsOnTheStartPageWithTheVenueFiles)
{
    venue->setVenueName("Last");
    venue->newRoom(false);
    ASSERT_TRUE(VenueFiles::saveVenue(*venue, false));
    manager->rescanHistory();
    EXPECT_EQ(manager->findParameter("showVenue")->getValue().asInt(), 0);
    ASSERT_NE(manager->findChild("HistoryList"), nullptr);
    EXPECT_NE(manager->lookupChild("HistoryList/Last_" + venue->getVenueID()), nullptr);
}

// A room reopened from its file (after a restart) shows the master equaliser its speakers hold and
// keeps its lock.
class RoomRecall : public VenueFixture
{
protected:
    Tessel::IParameter* master(const std::string& name) const
    {
        return room()->getMaster()->getGeq()->findParameter(name);
    }
    // Saves the venue and reads it back into new rooms, as a desk started again does.
    void reopen()
    {
        venue->setVenueName("Recall");
        ASSERT_TRUE(VenueFiles::saveVenue(*venue, false));
        ASSERT_TRUE(VenueFiles::loadVenue(*venue, VenueFiles::getVenueFile(*venue)));
    }
};

TEST_F(RoomRecall, AReopenedRoomShowsItsMasterEqualiserAndABandMoveLeavesTheOthers)
{
    Vellaris::SpeakerNetworkItem* a = announce(1, "111");
    Vellaris::SpeakerNetworkItem* b = announce(2, "222", "TX20A");
    place("111");
    place("222");
    master("gain18")->setValue(7.5); // 1 kHz
    master("gain4")->setValue(-3.0);
    master("ston")->setValue(1);
    master("on")->setValue(0);
    ASSERT_DOUBLE_EQ(value(a, "line/ch1/geq/gain18"), 7.5);

    reopen();
    ASSERT_EQ(room()->speakerCount(), 2);
    EXPECT_DOUBLE_EQ(master("gain18")->getValue().asDouble(), 7.5);
    EXPECT_DOUBLE_EQ(master("gain4")->getValue().asDouble(), -3.0);
    EXPECT_EQ(master("ston")->getValue().asInt(), 1);
    EXPECT_EQ(master("on")->getValue().asInt(), 0);

    master("gain10")->setValue(2.0);
    for (Vellaris::SpeakerNetworkItem* item : {a, b})
    {
        EXPECT_DOUBLE_EQ(value(item, "line/ch1/geq/gain10"), 2.0);
        EXPECT_DOUBLE_EQ(value(item, "line/ch1/geq/gain18"), 7.5);
        EXPECT_DOUBLE_EQ(value(item, "line/ch1/geq/gain4"), -3.0);
    }
    // A speaker placed later joins with the room's equaliser, not a flat one.
    Vellaris::SpeakerNetworkItem* c = announce(3, "333");
    place("333");
    EXPECT_DOUBLE_EQ(value(c, "line/ch1/geq/gain18"), 7.5);
    EXPECT_DOUBLE_EQ(value(c, "line/ch1/geq/gain10"), 2.0);
}

TEST_F(RoomRecall, ALockedRoomComesBackLockedWithTheBrowserClosed)
{
    room()->findParameter("viewNetwork")->setValue(0);
    room()->findParameter("locked")->setValue(1);
    room()->findParameter("viewNetwork")->setValue(1); // the browser holds the lock aside
    ASSERT_FALSE(room()->isLocked());
    reopen();
    EXPECT_TRUE(room()->isLocked());
    EXPECT_EQ(room()->findParameter("viewNetwork")->getValue().asInt(), 0);
    EXPECT_TRUE(room()->findParameter("locked")->isEnabled());

    room()->findParameter("locked")->setValue(0);
    reopen();
    EXPECT_FALSE(room()->isLocked());
}

TEST_F(RoomRecall, ARoomFromAnOlderFileLoadsAsBefore)
{
    Vellaris::SpeakerNetworkItem* a = announce(1, "111");
    const std::string file = documents + "/old.venue";
    ASSERT_TRUE(writeText(file, R"({"venueID":"{0123ABCD-0000-1111-2222-333344445555}","title":"Old",
        "rooms":[{"roomID":"r1","title":"One","groups":[{"type":3,"positions":[
          {"speakerID":"111","locationX":0,"locationY":0,
           "speaker":{"Speaker":{"line":{"ch1":{"geq":{"gain18":5}}}}}}]}]}]})"));
    ASSERT_TRUE(VenueFiles::loadVenue(*venue, file));
    ASSERT_EQ(room()->speakerCount(), 1);
    EXPECT_DOUBLE_EQ(value(a, "line/ch1/geq/gain18"), 5.0) << "the speaker gets its own settings";
    EXPECT_DOUBLE_EQ(master("gain18")->getValue().asDouble(), 0.0);
    EXPECT_EQ(master("on")->getValue().asInt(), 1);
    EXPECT_FALSE(room()->isLocked());
    EXPECT_EQ(room()->findParameter("viewNetwork")->getValue().asInt(), 1);
}

using VenueBinding = VenueFixture;

TEST_F(VenueBinding, SpeakerThatLeavesAndReturnsGetsItsSettingsBack)
{
    Vellaris::SpeakerNetworkItem* item = announce(1, "42");
    place("42");
    param(item, "line/ch1/volume")->setValue(-7.0);
    param(item, "line/ch1/geq/gain5")->setValue(3.0);
    withdraw(1);
    EXPECT_EQ(room()->speakerCount(), 0);
    EXPECT_FALSE(room()->findPosition("42")->getSpeakerState().isEmpty());

    Vellaris::SpeakerNetworkItem* back = announce(2, "42");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(room()->findPosition("42")->getSpeaker(), back);
    EXPECT_DOUBLE_EQ(value(back, "line/ch1/volume"), -7.0);
    EXPECT_DOUBLE_EQ(value(back, "line/ch1/geq/gain5"), 3.0);
    EXPECT_TRUE(param(back, "solo")->isEnabled());
    EXPECT_FALSE(back->isSelected());
}

TEST_F(VenueBinding, ReturningSpeakerIsSentEvenTheValuesThatEqualTheModelDefaults)
{
    Vellaris::SpeakerNetworkItem* item = announce(1, "42");
    place("42");
    ASSERT_DOUBLE_EQ(value(item, "line/ch1/volume"),
                     param(item, "line/ch1/volume")->getDefaultValue().asDouble());
    withdraw(1);
    library.values.clear();
    announce(2, "42");
    // The fresh mirror already shows the default, yet the device may hold anything.
    const bool sent = std::any_of(library.values.begin(), library.values.end(),
                                  [](const auto& value) { return value.first == "line/ch1/volume"; });
    EXPECT_TRUE(sent);
}

TEST_F(VenueBinding, LoadingBindsEachSerialOnceAndPushesTheStoredSettings)
{
    Vellaris::SpeakerNetworkItem* item = announce(1, "77");
    param(item, "line/ch1/volume")->setValue(-3.0);
    place("77");
    SpeakerRoom* second = venue->newRoom(false);
    place("77", second->getGroups().front()); // the same serial in a second room
    venue->setVenueName("Twice");
    ASSERT_TRUE(VenueFiles::saveVenue(*venue, false));
    const std::string file = VenueFiles::getVenueFile(*venue);

    param(item, "line/ch1/volume")->setValue(-20.0);
    ASSERT_TRUE(VenueFiles::loadVenue(*venue, file));
    ASSERT_EQ(venue->countRooms(), 2);
    EXPECT_EQ(venue->getRoom(0)->findPosition("77")->getSpeaker(), item);
    EXPECT_EQ(venue->getRoom(1)->findPosition("77")->getSpeaker(), nullptr) << "bound to the first only";
    EXPECT_DOUBLE_EQ(value(item, "line/ch1/volume"), -3.0);
}

TEST_F(VenueBinding, BrowserOffersOnlyUnplacedSpeakersAndRemovalFreesThem)
{
    announce(1, "A");
    announce(2, "B");
    auto& list = network->getItems();
    EXPECT_EQ(list.countRows(), 2);
    place("A");
    EXPECT_EQ(list.countRows(), 1);
    EXPECT_EQ(list.getRowItem(0), network->findItemBySerial("B"));
    manager->removeSpeakerFromRooms("A");
    EXPECT_EQ(room()->findPosition("A"), nullptr);
    EXPECT_EQ(list.countRows(), 2);
}

TEST_F(VenueBinding, DuplicateSerialIsNotBoundTwice)
{
    Vellaris::SpeakerNetworkItem* first = announce(1, "D");
    place("D");
    Tessel::AutoPtr<SpeakerPosition> other = new SpeakerPosition("D");
    venue->newRoom(false)->getGroups().front()->insertPosition(other);
    announce(2, "D");
    EXPECT_EQ(room()->findPosition("D")->getSpeaker(), first);
    EXPECT_EQ(other->getSpeaker(), nullptr);
}
