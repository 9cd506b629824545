// Undo and redo of what the engineer does to rooms and venues: room volume, mute all, solo, the
// master equaliser, placing and removing speakers, groups, rooms and names; a speaker that left
// the network between the edit and its undo; another venue clearing the history.
#include "tessel/AttributeList.h"
#include "tessel/Attributes.h"
#include "tessel/UndoHistory.h"
#include "tests/venue/VenueTestSupport.h"
#include "venue/MasterComponent.h"
#include "venue/RoomEditView.h"
#include "venue/RoomGroupEditor.h"
#include "venue/ScrollWheelComponent.h"
#include "venue/SpeakerGroup.h"
#include "venue/SpeakerPosition.h"

using Vellaris::SpeakerGroup;
using Vellaris::SpeakerNetworkItem;
using Vellaris::SpeakerPosition;
using Vellaris::SpeakerRoom;

namespace
{

class VenueUndo : public VenueTest::VenueFixture
{
protected:
    void SetUp() override
    {
        VenueFixture::SetUp();
        a = announce(1, "A", "TX20A");
        b = announce(2, "B", "TX30A");
        for (const char* serial : {"A", "B"})
            place(serial);
        room()->setRoomTitle("Main Hall");
        history().clear();
    }
    Tessel::UndoHistory& history() { return *Tessel::GetUndoHistory(); }
    static Tessel::IParameter* volume(SpeakerNetworkItem* item) { return param(item, "line/ch1/volume"); }
    static Tessel::IParameter* mute(SpeakerNetworkItem* item) { return param(item, "line/ch1/mute"); }
    Tessel::IParameter* roomParam(const char* name) const { return room()->findParameter(name); }
    // The group and cell of `serial` in the active room, as "<group title> x,y", or "".
    std::string placeOf(const std::string& serial) const
    {
        for (SpeakerGroup* group : room()->getGroups())
            if (SpeakerPosition* position = group->findPosition(serial))
                return group->getTitle() + " " + std::to_string(position->getLocationX()) + "," +
                       std::to_string(position->getLocationY());
        return "";
    }
    // A notifying change outside any gesture, as a button or a typed value makes it.
    static void set(Tessel::IParameter* p, double value) { p->setValue(Tessel::Variant(value), true); }

    SpeakerNetworkItem* a = nullptr;
    SpeakerNetworkItem* b = nullptr;
};

} // namespace

TEST_F(VenueUndo, ARoomVolumeStepIsOneStepAndUndoKeepsTheOffsetOfASpeakerAtItsLimit)
{
    const double max = volume(a)->getMax().asDouble();
    set(volume(a), max);
    set(volume(b), max - 3);
    platform.advance(1000);
    const size_t steps = history().countUndoSteps();
    roomParam("roomVolumeUp")->setValue(Tessel::Variant(1), true);
    roomParam("roomVolumeUp")->setValue(Tessel::Variant(1), true);
    ASSERT_DOUBLE_EQ(value(b, "line/ch1/volume"), max - 1);
    EXPECT_DOUBLE_EQ(value(a, "elastic"), max + 2);
    EXPECT_EQ(history().countUndoSteps(), steps + 2) << "each press is a step";
    EXPECT_EQ(history().getUndoName(), "Room Volume Main Hall");

    history().undo();
    history().undo();
    EXPECT_DOUBLE_EQ(value(a, "line/ch1/volume"), max);
    EXPECT_DOUBLE_EQ(value(a, "elastic"), max);
    EXPECT_DOUBLE_EQ(value(b, "line/ch1/volume"), max - 3);
    history().redo();
    EXPECT_DOUBLE_EQ(value(a, "elastic"), max + 1) << "the offset comes back with the step";
    EXPECT_DOUBLE_EQ(value(b, "line/ch1/volume"), max - 2);
    // The room comes down again past the limit: the speaker at its limit keeps its distance.
    roomParam("roomVolumeDown")->setValue(Tessel::Variant(1), true);
    EXPECT_DOUBLE_EQ(value(a, "line/ch1/volume"), max);
}

TEST_F(VenueUndo, AWheelTurnIsOneStepWhileItsDeltasKeepComing)
{
    set(volume(a), -20);
    set(volume(b), -10);
    platform.advance(1000);
    const size_t steps = history().countUndoSteps();
    Tessel::IParameter* scroll = room()->getWheel()->getScrollParam();
    const int64_t middle = scroll->getMax().asInt() / 2;
    for (int i = 1; i <= 3; ++i)
    {
        scroll->setValue(Tessel::Variant((long long)(middle - 1000 * i)));
        platform.advance(100);
    }
    ASSERT_DOUBLE_EQ(value(a, "line/ch1/volume"), -17);
    EXPECT_EQ(history().countUndoSteps(), steps + 1);
    history().undo();
    EXPECT_DOUBLE_EQ(value(a, "line/ch1/volume"), -20);
    EXPECT_DOUBLE_EQ(value(b, "line/ch1/volume"), -10);
}

TEST_F(VenueUndo, MuteAllItsReleaseAndSoloComeBackExactly)
{
    set(mute(b), 1); // muted before the room is
    platform.advance(1000);
    set(roomParam("muteAll"), 1);
    EXPECT_EQ(history().getUndoName(), "Mute All Main Hall");
    history().undo();
    EXPECT_EQ(mute(a)->getValue().asInt(), 0);
    EXPECT_EQ(mute(b)->getValue().asInt(), 1);
    EXPECT_EQ(roomParam("muteAll")->getValue().asInt(), 0);
    history().redo();
    EXPECT_EQ(mute(a)->getValue().asInt(), 1);
    EXPECT_EQ(roomParam("muteAll")->getValue().asInt(), 1);

    platform.advance(1000);
    set(roomParam("muteAll"), 0); // the release unmutes only what it muted
    ASSERT_EQ(mute(a)->getValue().asInt(), 0);
    EXPECT_EQ(history().getUndoName(), "Unmute All Main Hall");
    history().undo();
    EXPECT_EQ(mute(a)->getValue().asInt(), 1);
    EXPECT_EQ(mute(b)->getValue().asInt(), 1);
    history().redo();

    platform.advance(1000);
    set(param(a, "solo"), 1);
    ASSERT_EQ(mute(b)->getValue().asInt(), 1);
    set(mute(b), 0);
    platform.advance(1000);
    history().undo(); // b's unmute
    history().undo(); // the solo
    EXPECT_EQ(param(a, "solo")->getValue().asInt(), 0);
    EXPECT_EQ(mute(a)->getValue().asInt(), 0);
    EXPECT_EQ(mute(b)->getValue().asInt(), 1) << "muted before the solo, muted after its undo";
}

TEST_F(VenueUndo, AMasterEqualiserMoveIsOneStepForEverySpeakerOfTheRoom)
{
    Tessel::IParameter* band = room()->getMaster()->getGeq()->findParameter("gain20");
    band->beginEdit();
    set(band, -3);
    set(band, -6);
    band->endEdit();
    ASSERT_DOUBLE_EQ(value(b, "line/ch1/geq/gain20"), -6);
    EXPECT_EQ(history().countUndoSteps(), 1u);
    EXPECT_EQ(history().getUndoName(), "Master GEQ Main Hall");
    history().undo();
    EXPECT_DOUBLE_EQ(band->getValue().asDouble(), 0);
    for (SpeakerNetworkItem* item : {a, b})
        EXPECT_DOUBLE_EQ(value(item, "line/ch1/geq/gain20"), 0);
    history().redo();
    for (SpeakerNetworkItem* item : {a, b})
        EXPECT_DOUBLE_EQ(value(item, "line/ch1/geq/gain20"), -6);
}

TEST_F(VenueUndo, PlacingAndRemovingASpeakerComeBackInTheirGroupAndCell)
{
    Vellaris::RoomEditView* editor = venue->getRoomEditor();
    editor->setSize(600, 560);
    SpeakerNetworkItem* c = announce(3, "C", "TX10A");
    Tessel::IParameter* band = room()->getMaster()->getGeq()->findParameter("gain7");
    {
        Tessel::UndoHistory::Suspend quiet; // the room's equaliser set earlier
        set(band, 4);
    }
    set(param(c, "line/ch1/geq/gain7"), -2);
    platform.advance(1000);
    ASSERT_TRUE(editor->placeSpeaker(c, nullptr));
    const std::string placed = placeOf("C");
    ASSERT_NE(placed, "");
    EXPECT_DOUBLE_EQ(value(c, "line/ch1/geq/gain7"), 4) << "the room's equaliser reached it";
    EXPECT_EQ(history().getUndoName(), "Place Speaker C");
    history().undo();
    EXPECT_EQ(placeOf("C"), "");
    EXPECT_FALSE(venue->holdsItem(c));
    EXPECT_DOUBLE_EQ(value(c, "line/ch1/geq/gain7"), -2) << "and went back with the placement";
    history().redo();
    EXPECT_EQ(placeOf("C"), placed);
    EXPECT_TRUE(venue->holdsItem(c));

    // Removed with the cross of its cell: it comes back as the same position, in its place.
    SpeakerPosition* position = room()->findPosition("B");
    const std::string whereB = placeOf("B");
    manager->removeSpeakerFromRooms("B");
    EXPECT_EQ(placeOf("B"), "");
    EXPECT_EQ(history().getUndoName(), "Remove Speaker B");
    history().undo();
    EXPECT_EQ(room()->findPosition("B"), position);
    EXPECT_EQ(placeOf("B"), whereB);
    EXPECT_EQ(position->getSpeaker(), b);
    EXPECT_EQ(room()->speakerCount(), 3);
    history().redo();
    EXPECT_EQ(placeOf("B"), "");
}

TEST_F(VenueUndo, ARemovedSpeakerThatIsOffTheNetworkComesBackWithItsStoredSettings)
{
    set(volume(b), -14);
    withdraw(2); // b's settings are kept in its position
    SpeakerPosition* position = room()->findPosition("B");
    const std::string stored =
        Tessel::Attributes(position->getSpeakerState()).getAttributes("Speaker") ? "kept" : "";
    ASSERT_EQ(stored, "kept");
    manager->removeSpeakerFromRooms("B");
    history().undo();
    ASSERT_EQ(room()->findPosition("B"), position);
    SpeakerNetworkItem* back = announce(4, "B", "TX30A");
    EXPECT_EQ(position->getSpeaker(), back);
    EXPECT_DOUBLE_EQ(value(back, "line/ch1/volume"), -14);
}

TEST_F(VenueUndo, ASpeakerThatLeftGetsItsPartOfTheStepInItsStoredSettings)
{
    set(volume(a), -20);
    set(volume(b), -20);
    platform.advance(1000);
    roomParam("roomVolumeDown")->setValue(Tessel::Variant(1), true);
    withdraw(2);
    history().undo();
    EXPECT_DOUBLE_EQ(value(a, "line/ch1/volume"), -20) << "the rest of the step still applies";
    EXPECT_NE(history().getStatus().find("B is off the network"), std::string::npos) << history().getStatus();
    SpeakerNetworkItem* back = announce(5, "B", "TX30A");
    EXPECT_DOUBLE_EQ(value(back, "line/ch1/volume"), -20) << "it gets the undone value when it returns";
}

TEST_F(VenueUndo, GroupEditsAreUndoneWithTheirSpeakers)
{
    auto* groups = Tessel::classCast<Vellaris::RoomGroupEditor>(venue->getRoomEditor()->findChild("Groups"));
    ASSERT_NE(groups, nullptr);
    SpeakerGroup* named = groups->addGroup(SpeakerGroup::kCustom, "Delays");
    ASSERT_NE(named, nullptr);
    EXPECT_EQ(history().getUndoName(), "Add Group Delays");
    room()->addToGroup(named, room()->findPosition("B"));
    history().clear();

    groups->renameGroup(named, "Fills");
    groups->changeType(named, SpeakerGroup::kSubs);
    EXPECT_EQ(named->getTitle(), "Subs");
    history().undo();
    EXPECT_EQ(named->getType(), SpeakerGroup::kCustom);
    EXPECT_EQ(named->getTitle(), "Fills");
    history().undo();
    EXPECT_EQ(named->getTitle(), "Delays");

    const std::string whereB = placeOf("B");
    groups->removeGroup(named);
    EXPECT_EQ(placeOf("B"), "") << "its speakers left the room";
    EXPECT_EQ(history().getUndoName(), "Remove Group Delays");
    history().undo();
    EXPECT_EQ(placeOf("B"), whereB);
    EXPECT_EQ(room()->getGroups().back(), named);
    history().redo();
    EXPECT_EQ(room()->getGroups().size(), 1u);
}

TEST_F(VenueUndo, RoomsAndNamesComeBack)
{
    SpeakerRoom* hall = room();
    venue->findParameter("newRoom")->setValue(Tessel::Variant(1), true);
    ASSERT_EQ(venue->countRooms(), 2);
    EXPECT_EQ(history().getUndoName(), "Add Room");
    history().undo();
    EXPECT_EQ(venue->countRooms(), 1);
    history().redo();
    ASSERT_EQ(venue->countRooms(), 2);
    venue->setActiveRoom(hall);

    // Closing the first room, with its speakers, and taking it back.
    hall->findParameter("roomTitle")->fromString("Foyer", true);
    EXPECT_EQ(hall->getTitle(), "Foyer");
    venue->interpretCommand({"File", "Close"});
    venue->interpretCommand({"File", "CloseConfirm"}); // it holds speakers: the user confirms
    ASSERT_EQ(venue->countRooms(), 1);
    EXPECT_FALSE(venue->holdsItem(a));
    EXPECT_EQ(history().getUndoName(), "Close Room Foyer");
    history().undo();
    ASSERT_EQ(venue->countRooms(), 2);
    EXPECT_EQ(venue->getRoom(0), hall) << "in its place in the list";
    EXPECT_EQ(venue->getActiveRoom(), hall);
    EXPECT_TRUE(venue->holdsItem(a));
    EXPECT_EQ(hall->speakerCount(), 2);
    history().undo();
    EXPECT_EQ(hall->getTitle(), "Main Hall");

    venue->findParameter("venueName")->fromString("Arena", true);
    EXPECT_EQ(venue->getVenueName(), "Arena");
    history().undo();
    EXPECT_EQ(venue->getVenueName(), manager->getVenue()->getVenueName());
    EXPECT_NE(venue->getVenueName(), "Arena");
}

TEST_F(VenueUndo, AVenueReadFromAFileRecordsNothing)
{
    set(volume(a), -5);
    const std::string step = history().getUndoName();
    // A venue read aside (for the list, or for a rename) whose room keeps a master equaliser.
    Tessel::Attributes stored;
    venue->save(stored);
    if (Tessel::AttributeList* rooms = stored.getList("rooms"))
        rooms->attributesAt(0)->newAttributes("masterGEQ")->set("gain5", Tessel::Variant(3.0));
    Tessel::AutoPtr<Vellaris::Venue> aside = new Vellaris::Venue;
    aside->load(stored, false);
    EXPECT_DOUBLE_EQ(aside->getRoom(0)->getMaster()->getGeq()->findParameter("gain5")->getValue().asDouble(),
                     3);
    EXPECT_EQ(history().getUndoName(), step);
    aside->closeAllRooms();
}

TEST_F(VenueUndo, AnotherVenueStartsWithAnEmptyHistory)
{
    set(volume(a), -5);
    ASSERT_TRUE(history().canUndo());
    manager->newVenue();
    EXPECT_FALSE(history().canUndo());
    EXPECT_FALSE(history().canRedo());
}
