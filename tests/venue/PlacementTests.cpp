// One place per speaker in a venue: the floor plan refuses a speaker that stands in another room,
// whichever list offered it.
#include "tessel/DragData.h"
#include "tessel/DragSession.h"
#include "tessel/Style.h"
#include "tests/venue/VenueTestSupport.h"
#include "venue/RoomEditView.h"

namespace
{

using Vellaris::SpeakerNetworkItem;

class Placement : public VenueTest::VenueFixture
{
protected:
    void SetUp() override
    {
        VenueFixture::SetUp();
        Tessel::Style::get().clear();
        editor = venue->getRoomEditor();
        ASSERT_NE(editor, nullptr);
        editor->loadStyle();
        editor->setSize(600, 560);
        manager->findParameter("showVenue")->setValue(Tessel::Variant(1));
    }
    void TearDown() override
    {
        Tessel::DragSession::get().cancel();
        VenueFixture::TearDown();
    }
    // Drags `item` as the network list does and lets go at (x, y) of the plan.
    bool dropFromList(SpeakerNetworkItem* item, int x, int y)
    {
        Tessel::AutoPtr<Tessel::DragData> data = new Tessel::DragData;
        data->addItem(static_cast<Tessel::Object*>(item));
        Tessel::DragSession& session = Tessel::DragSession::get();
        session.begin(nullptr, data);
        const bool entered = session.moveTo(editor, {double(x), double(y)});
        const bool dropped = session.finish(editor, {double(x), double(y)});
        EXPECT_EQ(entered, dropped) << "the plan shows the drop it will refuse as refused";
        return dropped;
    }
    static int countPlaces(Vellaris::Venue* venue, const std::string& serial)
    {
        int count = 0;
        for (int i = 0; i < venue->countRooms(); ++i)
            count += venue->getRoom(i)->findPosition(serial) != nullptr;
        return count;
    }

    Vellaris::RoomEditView* editor = nullptr;
};

TEST_F(Placement, ASpeakerPlacedInOneRoomCannotBeDroppedIntoAnother)
{
    SpeakerNetworkItem* item = announce(1, "A");
    Vellaris::SpeakerRoom* first = room();
    ASSERT_TRUE(dropFromList(item, 100, 100));
    ASSERT_NE(first->findPosition("A"), nullptr);

    Vellaris::SpeakerRoom* second = venue->newRoom(true);
    ASSERT_EQ(editor->getRoom(), second);
    first->findParameter("roomTitle")->setValue(Tessel::Variant("Stage"));
    EXPECT_FALSE(dropFromList(item, 100, 100));
    EXPECT_EQ(editor->getDropRefusal(), "already placed in Stage") << "the status line says why";
    EXPECT_EQ(second->findPosition("A"), nullptr);
    EXPECT_EQ(countPlaces(venue, "A"), 1);
    EXPECT_EQ(first->findPosition("A")->getSpeaker(), item) << "it keeps its place";
    editor->findParameter("placeSpeaker")->setValue(Tessel::Variant("A"));
    EXPECT_EQ(editor->getDropRefusal(), "already placed in Stage");

    // Within its own room the list's item still moves it (into the free cell its frame keeps).
    venue->setActiveRoom(first);
    const int before = first->findPosition("A")->getLocationX();
    const Vellaris::PlanPoint spare = editor->firstGroupView()->getFreeCell();
    EXPECT_TRUE(dropFromList(item, spare.x + 5, spare.y + 5));
    EXPECT_NE(first->findPosition("A")->getLocationX(), before);
    EXPECT_EQ(countPlaces(venue, "A"), 1);
}

TEST_F(Placement, PlaceSpeakerAndTheDropAgreeOnASpeakerPlacedElsewhere)
{
    SpeakerNetworkItem* item = announce(1, "A");
    announce(2, "B");
    place("A");
    venue->newRoom(true);
    editor->findParameter("placeSpeaker")->setValue(Tessel::Variant("A"));
    EXPECT_EQ(countPlaces(venue, "A"), 1);
    EXPECT_FALSE(dropFromList(item, 100, 100));
    EXPECT_EQ(countPlaces(venue, "A"), 1);
    // An unplaced speaker goes in by either way.
    EXPECT_TRUE(dropFromList(network->findItemBySerial("B"), 100, 100));
    EXPECT_EQ(countPlaces(venue, "B"), 1);
}

} // namespace
