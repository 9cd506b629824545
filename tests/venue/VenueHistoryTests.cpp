// The venue manager with its history: the list of venue files, new, open, rename and delete, the
// start page and the venue view, and the automatic saving on the headless clock.
#include <chrono>
#include <filesystem>
#include <fstream>

#include "speaker/SpeakerRootComponent.h"
#include "tessel/Attributes.h"
#include "tessel/FileUtilities.h"
#include "tessel/IListModel.h"
#include "tests/venue/VenueTestSupport.h"
#include "venue/SpeakerGroup.h"
#include "venue/VenueCacheItem.h"
#include "venue/VenueFiles.h"
#include "venue/VenueHistoryItem.h"
#include "venue/VenueHistoryItemCollection.h"

using Vellaris::Venue;
using Vellaris::VenueFiles;
using Vellaris::VenueHistoryItem;
using Vellaris::VenueManager;
using VenueTest::VenueFixture;
namespace fs = std::filesystem;

namespace
{

class VenueHistory : public VenueFixture
{
protected:
    Vellaris::VenueHistoryItemCollection* list() const { return manager->getHistory(); }
    VenueHistoryItem* entry(int row) const { return list()->getItem(row); }
    VenueHistoryItem* entryNamed(const std::string& name) const
    {
        for (int row = 0; row < list()->countRows(); ++row)
            if (entry(row)->getVenueName() == name)
                return entry(row);
        return nullptr;
    }
    bool property(const char* name) const
    {
        Tessel::Variant value;
        return manager->getProperty(name, value) && value.asInt() != 0;
    }
    std::string text(VenueHistoryItem* item, const char* param) const
    {
        return item->findParameter(param)->getValue().asString();
    }
    static void set(Tessel::Component* owner, const char* param, const Tessel::Variant& value)
    {
        owner->findParameter(param)->setValue(value, true);
    }
    // Writes a venue named `name` with `rooms` rooms and `speakers` positions in the first room,
    // through a venue of its own, and returns its file.
    std::string writeVenue(const std::string& name, int rooms, int speakers)
    {
        Tessel::AutoPtr<Venue> other = new Venue;
        other->setVenueName(name);
        for (int i = 0; i < rooms; ++i)
            other->newRoom(i == 0);
        for (int i = 0; i < speakers; ++i)
        {
            Tessel::AutoPtr<Vellaris::SpeakerPosition> position =
                new Vellaris::SpeakerPosition("S" + std::to_string(i));
            other->getRoom(0)->getGroups().front()->insertPosition(position);
        }
        EXPECT_TRUE(VenueFiles::saveVenue(*other, true));
        const std::string file = VenueFiles::getVenueFile(*other);
        other->closeAllRooms();
        return file;
    }
    std::string venues() const { return VenueFiles::getVenuesFolder(); }
    bool showing() const { return manager->isShowingVenue(); }
};

} // namespace

TEST_F(VenueHistory, EntriesCountGroupsAndSpeakersWithTheirOwnPluralRules)
{
    EXPECT_EQ(VenueHistoryItem::groupsText(0), "0 Group");
    EXPECT_EQ(VenueHistoryItem::groupsText(1), "1 Group");
    EXPECT_EQ(VenueHistoryItem::groupsText(2), "2 Groups");
    EXPECT_EQ(VenueHistoryItem::speakersText(0), "0 Speakers");
    EXPECT_EQ(VenueHistoryItem::speakersText(1), "1 Speaker");
    EXPECT_EQ(VenueHistoryItem::speakersText(12), "12 Speakers");

    writeVenue("Alpha", 1, 0);
    writeVenue("Beta", 2, 1);
    manager->rescanHistory();
    ASSERT_EQ(list()->countRows(), 2);
    EXPECT_TRUE(property("hasHistory"));
    VenueHistoryItem* alpha = entryNamed("Alpha");
    VenueHistoryItem* beta = entryNamed("Beta");
    ASSERT_TRUE(alpha && beta);
    EXPECT_EQ(text(alpha, "groups"), "1 Group");
    EXPECT_EQ(text(alpha, "speakers"), "0 Speakers");
    EXPECT_EQ(text(beta, "groups"), "2 Groups");
    EXPECT_EQ(text(beta, "speakers"), "1 Speaker");
    // The list model shows the same texts and each entry's path for the view's bindings.
    Tessel::IListModel* model = list();
    EXPECT_EQ(model->getColumnId(3), "path");
    EXPECT_EQ(model->getCell(1, 0).asString(), "Beta");
    EXPECT_EQ(model->getCell(1, 1).asString(), "2 Groups");
    EXPECT_EQ(Tessel::getRootComponent()->lookupChild(model->getCell(1, 3).asString()), beta);
    EXPECT_EQ(manager->getParameterByTag(100), manager->findParameter("showVenue"));
    EXPECT_EQ(beta->getParameterByTag(202), beta->findParameter("name"));
    EXPECT_EQ(beta->getParameterByTag(203), beta->findParameter("promptDeleteConfirm"));
    EXPECT_EQ(beta->getParameterByTag(200), beta->findParameter("editVenue"));
    EXPECT_EQ(beta->getParameterByTag(201), beta->findParameter("closeVenueEditor"));
}

TEST_F(VenueHistory, ListsEveryVenueFileInNameOrderAndShowsTheUnreadableOnes)
{
    writeVenue("bravo", 2, 0);
    writeVenue("Alpha", 2, 0);
    writeVenue("charlie", 2, 0);
    writeText(venues() + "/notes.txt", "{}");
    writeText(venues() + "/old.venue.bak", "{}");
    writeText(venues() + "/broken.venue", "{\"venueID\": \"{0123");
    writeText(venues() + "/wrong_{7C2D}.venue", "[1, 2, 3]");
    fs::create_directories(venues() + "/folder.venue");
    fs::copy_file(VenueFiles::getCacheFolder() + "/" + fs::path(writeVenue("delta", 2, 0)).stem().string() +
                      ".cache",
                  VenueFiles::getCacheFolder() + "/stray.cache");
    manager->rescanHistory();
    ASSERT_EQ(list()->countRows(), 6) << "every \".venue\" file, also those that cannot be read";
    EXPECT_EQ(entry(0)->getVenueName(), "Alpha");
    EXPECT_EQ(entry(1)->getVenueName(), "bravo");
    EXPECT_EQ(entry(2)->getVenueName(), "broken");
    EXPECT_EQ(entry(3)->getVenueName(), "charlie");
    EXPECT_EQ(entry(4)->getVenueName(), "delta");
    EXPECT_EQ(entry(5)->getVenueName(), "wrong") << "the name as the file tells it";
    EXPECT_TRUE(warned("broken.venue"));

    // An unreadable entry says so instead of counting, in the list model too.
    VenueHistoryItem* broken = entry(2);
    EXPECT_TRUE(entry(0)->isReadable());
    EXPECT_FALSE(broken->isReadable());
    Tessel::Variant readable;
    ASSERT_TRUE(broken->getProperty("readable", readable));
    EXPECT_EQ(readable.asInt(), 0);
    EXPECT_EQ(text(broken, "groups"), "cannot be read");
    EXPECT_EQ(text(broken, "speakers"), "");
    EXPECT_EQ(list()->getCell(2, 1).asString(), "cannot be read");
}

TEST_F(VenueHistory, AnUnreadableVenueIsRefusedWithAnAlertAndCanBeDeleted)
{
    writeVenue("Good", 2, 0);
    const std::string bad = venues() + "/Bad_{5E6F}.venue";
    writeText(bad, "not json");
    manager->rescanHistory();
    ASSERT_EQ(list()->countRows(), 2);
    set(entry(1), "loadVenue", 1);
    ASSERT_TRUE(showing());
    set(manager, "showVenue", 0);
    VenueHistoryItem* entryOfBad = entryNamed("Bad");
    ASSERT_NE(entryOfBad, nullptr);

    // Opening it (a double click, OPEN or the remote control) changes nothing and says why.
    EXPECT_FALSE(manager->loadVenue(entryOfBad));
    EXPECT_FALSE(showing());
    EXPECT_EQ(venue->getVenueName(), "Good") << "the venue open before stays";
    EXPECT_TRUE(alerted("\"Bad_{5E6F}.venue\" cannot be read"));
    ASSERT_TRUE(list()->clickCell(list()->indexOfItem(entryOfBad), 0, {Tessel::CellClick::Kind::kDouble}));
    EXPECT_FALSE(showing());

    // A rename is refused; a delete removes the file.
    entryOfBad->findParameter("name")->setValue(Tessel::Variant("Renamed"), true);
    EXPECT_TRUE(fs::exists(bad));
    ASSERT_NE(entryNamed("Bad"), nullptr);
    set(entryNamed("Bad"), "deleteVenue", 1);
    set(entryNamed("Bad"), "deleteVenueConfirm", 1);
    EXPECT_FALSE(fs::exists(bad));
    ASSERT_EQ(list()->countRows(), 1);
    EXPECT_EQ(entry(0)->getVenueName(), "Good");
}

TEST_F(VenueHistory, AVenueFileBrokenBehindAGoodSummaryShowsUnreadableOnceOpeningFails)
{
    const std::string file = writeVenue("Stale", 2, 1);
    const auto written = fs::last_write_time(VenueFiles::getCacheFileFor(file));
    writeText(file, "{\"venueID\": 7}");
    fs::last_write_time(file, written - std::chrono::seconds(5)); // the summary looks newer
    manager->rescanHistory();
    ASSERT_EQ(list()->countRows(), 1);
    ASSERT_TRUE(entry(0)->isReadable()) << "the summary is believed at first";
    EXPECT_EQ(text(entry(0), "speakers"), "1 Speaker");

    EXPECT_FALSE(manager->loadVenue(entry(0)));
    EXPECT_FALSE(entry(0)->isReadable());
    EXPECT_EQ(text(entry(0), "groups"), "cannot be read");
    EXPECT_EQ(entry(0)->getVenueName(), "Stale");
    EXPECT_TRUE(alerted("cannot be read"));
}

TEST_F(VenueHistory, EntryWithoutItsSummaryReadsTheVenueFile)
{
    const std::string file = writeVenue("Hall", 3, 2);
    fs::remove(VenueFiles::getCacheFileFor(file));
    writeVenue("Club", 1, 0);
    writeText(VenueFiles::getCacheFileFor(writeVenue("Bar", 2, 0)), "{\"numGroups\": \"two\"}");
    manager->rescanHistory();
    ASSERT_NE(entryNamed("Hall"), nullptr);
    EXPECT_EQ(text(entryNamed("Hall"), "groups"), "3 Groups");
    EXPECT_EQ(text(entryNamed("Hall"), "speakers"), "2 Speakers");
    ASSERT_NE(entryNamed("Bar"), nullptr) << "a summary of the wrong types falls back too";
    EXPECT_EQ(text(entryNamed("Bar"), "groups"), "2 Groups");

    // A summary older than its venue file (a desk stopped between the two writes) is not believed.
    const std::string later = writeVenue("Later", 1, 0);
    Tessel::AutoPtr<Venue> grown = new Venue;
    ASSERT_TRUE(VenueFiles::loadVenue(*grown, later, false));
    grown->newRoom(false);
    Tessel::Attributes stored;
    grown->save(stored);
    ASSERT_TRUE(stored.saveToFile(later));
    grown->closeAllRooms();
    fs::last_write_time(VenueFiles::getCacheFileFor(later),
                        fs::last_write_time(later) - std::chrono::seconds(5));
    manager->rescanHistory();
    ASSERT_NE(entryNamed("Later"), nullptr);
    EXPECT_EQ(text(entryNamed("Later"), "groups"), "2 Groups");
}

TEST_F(VenueHistory, NewVenueIsWrittenAtOnceAndOpensItsNameEditor)
{
    ASSERT_TRUE(manager->interpretCommand(Tessel::CommandMsg("File", "New", true)));
    EXPECT_FALSE(fs::exists(venues())) << "asked only";

    set(manager, "newVenue", 1);
    VenueHistoryItem* created = manager->getCreatingItem();
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->getVenueName(), "My New Venue");
    EXPECT_TRUE(fs::exists(created->getUrl())) << "written although empty";
    EXPECT_TRUE(created->isEditing());
    EXPECT_EQ(manager->getInspectorItem(), created);
    EXPECT_EQ(manager->findChild("inspector"), created);
    EXPECT_TRUE(property("isCreatingVenue"));
    EXPECT_TRUE(property("hasInspectorItem"));
    EXPECT_EQ(venue->countRooms(), 1);
    EXPECT_EQ(venue->getRoom(0)->getTitle(), "New Group...");
    EXPECT_FALSE(showing()) << "the editor is on the start page";

    // A name keeps it: the files move to the new name and the editor closes.
    const std::string oldFile = created->getUrl();
    const std::string id = venue->getVenueID();
    created->findParameter("name")->setValue(Tessel::Variant("Main Hall"), true);
    EXPECT_FALSE(property("isCreatingVenue"));
    set(created, "closeVenueEditor", 1);
    EXPECT_FALSE(created->isEditing());
    EXPECT_FALSE(property("hasInspectorItem"));
    EXPECT_FALSE(fs::exists(oldFile));
    EXPECT_FALSE(fs::exists(VenueFiles::getCacheFileFor(oldFile)));
    ASSERT_EQ(list()->countRows(), 1);
    EXPECT_EQ(entry(0), created);
    EXPECT_EQ(created->getName(), "Main Hall_" + id);
    EXPECT_TRUE(fs::exists(created->getUrl()));
    EXPECT_TRUE(fs::exists(VenueFiles::getCacheFileFor(created->getUrl())));
    manager->rescanHistory();
    ASSERT_EQ(list()->countRows(), 1);
    EXPECT_EQ(entry(0)->getVenueName(), "Main Hall");
}

TEST_F(VenueHistory, NewVenueCancelledOrClosedWithoutANameIsDeleted)
{
    writeVenue("Kept", 2, 0);
    manager->rescanHistory();
    set(manager, "newVenue", 1);
    ASSERT_EQ(list()->countRows(), 2);
    set(manager->getCreatingItem(), "cancelNewVenue", 1);
    EXPECT_EQ(manager->getCreatingItem(), nullptr);
    ASSERT_EQ(list()->countRows(), 1);
    EXPECT_EQ(entry(0)->getVenueName(), "Kept");

    set(manager, "newVenue", 1);
    const std::string file = manager->getCreatingItem()->getUrl();
    set(manager->getCreatingItem(), "closeVenueEditor", 1);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(list()->countRows(), 1);
    EXPECT_FALSE(property("isCreatingVenue"));
}

TEST_F(VenueHistory, DeleteAsksFirstThenRemovesBothFiles)
{
    const std::string file = writeVenue("Gone", 2, 0);
    manager->rescanHistory();
    VenueHistoryItem* gone = entry(0);
    set(gone, "deleteVenue", 1);
    EXPECT_TRUE(gone->isDeletePrompted());
    set(gone, "deleteVenueCancel", 1);
    EXPECT_FALSE(gone->isDeletePrompted());
    EXPECT_TRUE(fs::exists(file));
    EXPECT_TRUE(gone->interpretCommand(Tessel::CommandMsg("File", "DeleteConfirm", true)));
    EXPECT_TRUE(fs::exists(file)) << "asked only";

    set(gone, "deleteVenue", 1);
    set(gone, "deleteVenueConfirm", 1);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(fs::exists(VenueFiles::getCacheFileFor(file)));
    EXPECT_EQ(list()->countRows(), 0);
    EXPECT_FALSE(property("hasHistory"));
}

TEST_F(VenueHistory, DeletingTheOpenVenueStartsAFreshOne)
{
    announce(1, "A");
    const std::string file = writeVenue("Open", 2, 0);
    manager->rescanHistory();
    set(entry(0), "loadVenue", 1);
    ASSERT_EQ(venue->getVenueName(), "Open");
    const std::string id = venue->getVenueID();
    set(entry(0), "deleteVenueConfirm", 1);
    EXPECT_NE(venue->getVenueID(), id);
    EXPECT_EQ(venue->getVenueName(), "My New Venue");
    EXPECT_EQ(venue->countRooms(), 1);
    manager->terminate();
    EXPECT_FALSE(fs::exists(file)) << "the deleted venue is not written back on the way out";
    EXPECT_FALSE(fs::exists(venues()) && !fs::is_empty(venues()));
}

TEST_F(VenueHistory, OpeningAnEntryShowsItsVenueAndClosesTheEditor)
{
    writeVenue("First", 2, 0);
    writeVenue("Second", 3, 0);
    manager->rescanHistory();
    entry(1)->setEditing(true);
    ASSERT_EQ(manager->getInspectorItem(), entry(1));
    // A double click on the row opens it, as "loadVenue" does.
    ASSERT_TRUE(list()->clickCell(1, 0, {Tessel::CellClick::Kind::kDouble}));
    EXPECT_TRUE(showing());
    EXPECT_EQ(venue->getVenueName(), "Second");
    EXPECT_EQ(venue->countRooms(), 3);
    EXPECT_EQ(manager->getInspectorItem(), nullptr);
    EXPECT_FALSE(entry(1)->isEditing());
    Tessel::Variant open;
    ASSERT_TRUE(entry(1)->getProperty("isOpen", open));
    EXPECT_TRUE(open.asInt());

    // An unreadable file leaves the open venue as it was.
    writeText(entry(0)->getUrl(), "not json");
    EXPECT_FALSE(manager->loadVenue(entry(0)));
    EXPECT_EQ(venue->getVenueName(), "Second");
}

TEST_F(VenueHistory, RenamingTheOpenVenueReplacesItAndKeepsItsLastChange)
{
    announce(1, "A");
    const std::string file = writeVenue("Before", 2, 0);
    manager->rescanHistory();
    set(entry(0), "loadVenue", 1);
    const std::string id = venue->getVenueID();
    place("A"); // not yet saved by the timer
    entry(0)->findParameter("name")->setValue(Tessel::Variant("After"), true);

    EXPECT_NE(venue->getVenueID(), id) << "the open venue is replaced by a fresh one";
    EXPECT_EQ(venue->getVenueName(), "My New Venue");
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(fs::exists(VenueFiles::getCacheFileFor(file)));
    ASSERT_EQ(list()->countRows(), 1);
    EXPECT_EQ(entry(0)->getVenueName(), "After");
    EXPECT_EQ(text(entry(0), "speakers"), "1 Speaker") << "the placement made before the rename";
    Tessel::AutoPtr<Venue> renamed = new Venue;
    ASSERT_TRUE(VenueFiles::loadVenue(*renamed, entry(0)->getUrl(), false));
    EXPECT_EQ(renamed->getVenueID(), id);
    EXPECT_EQ(renamed->getVenueName(), "After");
    EXPECT_EQ(renamed->countPositions(), 1);
    renamed->closeAllRooms();
}

TEST_F(VenueHistory, RenameKeepsAnEmptyNameOutAndTheFileInItsFolder)
{
    writeVenue("Name", 2, 0);
    manager->rescanHistory();
    VenueHistoryItem* item = entry(0);
    item->findParameter("name")->setValue(Tessel::Variant("  "), true);
    EXPECT_EQ(item->getVenueName(), "Name");
    item->findParameter("name")->setValue(Tessel::Variant("../../up"), true);
    EXPECT_EQ(item->getVenueName(), "../../up");
    EXPECT_EQ(fs::path(item->getUrl()).parent_path().string(), venues());
    manager->rescanHistory();
    ASSERT_EQ(list()->countRows(), 1);
    EXPECT_EQ(entry(0)->getVenueName(), "../../up");
}

TEST_F(VenueHistory, LeavingAnEmptyNewVenueDeletesItAndAFilledOneIsKept)
{
    announce(1, "A");
    set(manager, "newVenue", 1);
    const std::string empty = manager->getCreatingItem()->getUrl();
    set(manager->getCreatingItem(), "loadVenue", 1);
    ASSERT_TRUE(showing());
    manager->setShowVenue(false);
    EXPECT_FALSE(fs::exists(empty)) << "still \"My New Venue\" with nothing in it";
    EXPECT_EQ(list()->countRows(), 0);

    set(manager, "newVenue", 1);
    set(manager->getCreatingItem(), "loadVenue", 1);
    place("A");
    const std::string filled = VenueFiles::getVenueFile(*venue);
    manager->setShowVenue(false);
    EXPECT_TRUE(fs::exists(filled));
    ASSERT_EQ(list()->countRows(), 1);
    EXPECT_EQ(text(entry(0), "speakers"), "1 Speaker");
    EXPECT_FALSE(property("isCreatingVenue"));
}

TEST_F(VenueHistory, ShowingTheVenueHidesItsPlacedSpeakersFromTheBrowser)
{
    announce(1, "A");
    announce(2, "B");
    place("A");
    network->getItems().setFilter(nullptr);
    manager->setShowVenue(true);
    EXPECT_EQ(network->getItems().getFilter(), venue->getSpeakerFilter());
    EXPECT_EQ(network->getItems().countRows(), 1);
}

TEST_F(VenueHistory, NetworkSetupSwitchSetsEverySpeakersSetupMode)
{
    Vellaris::SpeakerNetworkItem* a = announce(1, "A");
    place("A");
    Vellaris::SpeakerNetworkItem* b = announce(2, "B");
    set(manager, "showNetwork", 1);
    EXPECT_EQ(value(a, "networksetupmode"), 1.0) << "placed speakers too";
    EXPECT_EQ(value(b, "networksetupmode"), 1.0);
    set(manager, "showNetwork", 0);
    EXPECT_EQ(value(a, "networksetupmode"), 0.0);
    EXPECT_EQ(value(b, "networksetupmode"), 0.0);
}

TEST_F(VenueHistory, ClosingARoomThatHoldsSpeakersAsksFirstNamingItAndItsSpeakers)
{
    announce(1, "A");
    manager->setShowVenue(true);
    Vellaris::SpeakerRoom* stage = venue->newRoom(true);
    stage->setRoomTitle("Stage");
    place("A");
    place("GONE-1"); // a speaker that is not on the network counts too
    Vellaris::SpeakerRoom* empty = venue->getRoom(0);
    Tessel::IParameter* question = venue->findParameter("closeRoomQuestion");
    ASSERT_NE(question, nullptr);
    EXPECT_TRUE(question->isFlag(Tessel::ParamFlags::kReadOnly));
    auto pending = [&]
    {
        Tessel::Variant index;
        EXPECT_TRUE(venue->getProperty("closeRoomPending", index));
        return index.asInt();
    };
    EXPECT_EQ(pending(), -1);

    // The close entry of a room with speakers only asks.
    set(venue, "closeRoom[1]", 1);
    ASSERT_EQ(venue->countRooms(), 2) << "one click closed a room with speakers";
    EXPECT_EQ(question->getValue().asString(), "Close \"Stage\"? Its 2 speakers leave the venue.");
    EXPECT_EQ(pending(), 1);
    EXPECT_EQ(venue->getClosePending(), stage);

    // Cancelled: the room and its speakers stay.
    set(venue, "closeRoomCancel", 1);
    EXPECT_EQ(pending(), -1);
    EXPECT_EQ(question->getValue().asString(), "");
    EXPECT_EQ(venue->countPositions(), 2);
    EXPECT_TRUE(venue->interpretCommand(Tessel::CommandMsg("File", "CloseConfirm", true)));
    EXPECT_EQ(venue->countRooms(), 2) << "asked only";

    // "Close" without an argument asks about the active room; the confirmation closes it and its
    // speaker is offered by the browser again.
    EXPECT_EQ(network->getItems().countRows(), 0);
    set(venue, "closeRoom", 1);
    EXPECT_EQ(pending(), 1);
    set(venue, "closeRoomConfirm", 1);
    ASSERT_EQ(venue->countRooms(), 1);
    EXPECT_EQ(venue->getRoom(0), empty);
    EXPECT_EQ(pending(), -1);
    EXPECT_EQ(question->getValue().asString(), "");
    EXPECT_EQ(network->getItems().countRows(), 1);
    EXPECT_TRUE(showing());

    // One speaker reads in the singular; a confirmation without a question closes nothing.
    place("GONE-2");
    set(venue, "closeRoom[0]", 1);
    EXPECT_EQ(question->getValue().asString(), "Close \"New Group...\"? Its speaker leaves the venue.");
    set(venue, "closeRoomCancel", 1);
    set(venue, "closeRoomConfirm", 1);
    EXPECT_EQ(venue->countRooms(), 1);

    // The last room closed after the question leaves the venue view.
    set(venue, "closeRoom[0]", 1);
    set(venue, "closeRoomConfirm", 1);
    EXPECT_EQ(venue->countRooms(), 0);
    EXPECT_FALSE(showing());
}

TEST_F(VenueHistory, AnEmptyRoomClosesAtOnceAndAQuestionEndsWithItsRoom)
{
    announce(1, "A");
    manager->setShowVenue(true);
    Vellaris::SpeakerRoom* full = venue->getRoom(0);
    place("A");
    venue->newRoom(false);
    set(venue, "closeRoom[1]", 1);
    EXPECT_EQ(venue->countRooms(), 1) << "nothing to lose, nothing to ask";
    EXPECT_EQ(venue->getClosePending(), nullptr);

    // The room asked about goes another way (a venue read over it): the question goes with it.
    venue->newRoom(false);
    set(venue, "closeRoom[0]", 1);
    ASSERT_EQ(venue->getClosePending(), full);
    venue->closeRoom(venue->getRoom(1));
    Tessel::Variant index;
    ASSERT_TRUE(venue->getProperty("closeRoomPending", index));
    EXPECT_EQ(index.asInt(), 0);
    venue->closeAllRooms();
    EXPECT_EQ(venue->getClosePending(), nullptr);
    EXPECT_EQ(venue->findParameter("closeRoomQuestion")->getValue().asString(), "");
}

// The automatic saving. Ticks come every 3000 ms from the manager's start.
class VenueAutoSave : public VenueHistory
{
protected:
    void SetUp() override
    {
        VenueHistory::SetUp();
        start = platform.now();
        venue->setVenueName("Saved");
        venue->newRoom(false);
        manager->setShowVenue(true);
        file = VenueFiles::getVenueFile(*venue);
        toTick(); // the first tick writes the venue
        ASSERT_TRUE(fs::exists(file));
    }
    // Runs up to and including the next tick.
    void toTick()
    {
        const int64_t interval = VenueManager::kSaveIntervalMs;
        const int64_t next = start + ((platform.now() - start) / interval + 1) * interval;
        platform.advance(next - platform.now());
    }
    int64_t nextTick() const
    {
        const int64_t interval = VenueManager::kSaveIntervalMs;
        return start + ((platform.now() - start) / interval + 1) * interval;
    }
    // Whether the next tick writes the venue file.
    bool tickWrites()
    {
        fs::remove(file);
        toTick();
        return fs::exists(file);
    }

    int64_t start = 0;
    std::string file;
};

TEST_F(VenueAutoSave, NothingChangedNothingWritten)
{
    EXPECT_FALSE(tickWrites());
    EXPECT_FALSE(tickWrites());
}

TEST_F(VenueAutoSave, AVenueChangeLessThan3000MsBeforeTheTickIsWritten)
{
    venue->setLastChange(nextTick() - 2999);
    EXPECT_TRUE(tickWrites());
    venue->setLastChange(nextTick() - 3001);
    EXPECT_FALSE(tickWrites());
}

TEST_F(VenueAutoSave, ARoomChangeCountsLikeAVenueChange)
{
    venue->getRoom(1)->setLastChange(nextTick() - 2999);
    EXPECT_TRUE(tickWrites());
    venue->getRoom(1)->setLastChange(nextTick() - 3001);
    EXPECT_FALSE(tickWrites());
}

TEST_F(VenueAutoSave, APlacedSpeakersChangeIsWrittenOnceAtTheNextTick)
{
    Vellaris::SpeakerNetworkItem* item = announce(1, "A");
    place("A");
    toTick();
    // A change 2999 ms before the tick.
    platform.advance(nextTick() - 2999 - platform.now());
    param(item, "line/ch1/volume")->setValue(-7.0);
    EXPECT_EQ(item->getRoot()->lastChange(), nextTick() - 2999);
    EXPECT_TRUE(tickWrites());
    EXPECT_NE(readText(file).find("-7"), std::string::npos);
    // At the tick after, the same change is 3001 ms or more old: nothing more is written.
    EXPECT_FALSE(tickWrites());

    // A speaker that is not placed does not count.
    Vellaris::SpeakerNetworkItem* loose = announce(2, "B");
    param(loose, "line/ch1/volume")->setValue(-3.0);
    EXPECT_FALSE(tickWrites());
}

TEST_F(VenueAutoSave, OnlyWhileTheVenueIsShown)
{
    fs::remove(file);
    manager->setShowVenue(false); // leaving writes it
    ASSERT_TRUE(fs::exists(file));
    venue->setLastChange(nextTick() - 10);
    venue->newRoom(false);
    EXPECT_FALSE(tickWrites());
}

TEST_F(VenueAutoSave, AChangeWithoutATimeStampIsWrittenToo)
{
    venue->getRoom(0)->setRoomTitle("Renamed room");
    EXPECT_TRUE(tickWrites());
    EXPECT_NE(readText(file).find("Renamed room"), std::string::npos);
}

TEST_F(VenueAutoSave, TerminationWritesTheLastChange)
{
    venue->newRoom(false);
    fs::remove(file);
    manager->terminate();
    ASSERT_TRUE(fs::exists(file));
    Tessel::AutoPtr<Venue> read = new Venue;
    ASSERT_TRUE(VenueFiles::loadVenue(*read, file, false));
    EXPECT_EQ(read->countRooms(), 3);
    read->closeAllRooms();
}
