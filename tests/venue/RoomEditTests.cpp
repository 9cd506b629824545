// The room editor's floor plan without a window: grid snapping, the free-cell search, what drags
// and drops do to the venue, the lock, and the room inspector's group editing.
#include <algorithm>

#include "model/JsonCodec.h"
#include "tessel/Attributes.h"
#include "tessel/DragData.h"
#include "tessel/DragSession.h"
#include "tessel/Json.h"
#include "tessel/Style.h"
#include "tessel/UndoHistory.h"
#include "tests/common/LargeVenue.h"
#include "tests/venue/VenueTestSupport.h"
#include "venue/RoomEditGrid.h"
#include "venue/RoomEditView.h"
#include "venue/RoomGroupEditor.h"
#include "venue/SpeakerGroup.h"
#include "venue/SpeakerPositionComponent.h"

using Vellaris::findFreeCell;
using Vellaris::kNoFreeCell;
using Vellaris::PlanGrid;
using Vellaris::PlanPoint;
using Vellaris::PlanRect;
using Vellaris::RoomEditView;
using Vellaris::SpeakerGroup;
using Vellaris::SpeakerNetworkItem;
using Vellaris::SpeakerPosition;
using Vellaris::SpeakerPositionComponent;

// --- Grid rules ----------------------------------------------------------------------------------

TEST(RoomEditGrid, SnapsByIntegerDivisionFromTheOrigin)
{
    const PlanGrid grid{80, 40, 10, 20};
    EXPECT_EQ(Vellaris::snapToGrid({175, 95}, grid), (PlanPoint{170, 60}));
    EXPECT_EQ(Vellaris::snapToGrid({10, 20}, grid), (PlanPoint{10, 20}));
    EXPECT_EQ(Vellaris::snapToGrid({89, 59}, grid), (PlanPoint{10, 20}));
    EXPECT_EQ(Vellaris::snapToGrid({90, 60}, grid), (PlanPoint{90, 60}));

    // The origin is half of what is left after whole cells, plus the top padding.
    const PlanGrid made = Vellaris::makePlanGrid(80, 40, 500, 330, 12);
    EXPECT_EQ(made.originX, 10);
    EXPECT_EQ(made.originY, 5 + 12);
}

TEST(RoomEditGrid, CellEdgesAreLeftAndTopInclusive)
{
    const PlanRect cell{100, 50, 142, 176};
    EXPECT_TRUE(cell.contains({100, 50}));
    EXPECT_TRUE(cell.contains({241, 225}));
    EXPECT_FALSE(cell.contains({242, 100}));
    EXPECT_FALSE(cell.contains({150, 226}));
    EXPECT_FALSE(cell.intersects({242, 50, 10, 10})) << "touching is not overlapping";
}

TEST(RoomEditGrid, FreeCellIsTakenAsItIsAndAnOccupiedOneMovesToTheNearestRing)
{
    const PlanGrid grid{40, 40, 0, 0};
    const PlanRect view{0, 0, 400, 400};
    EXPECT_EQ(findFreeCell({80, 80}, 40, 40, grid, view, {}), (PlanPoint{80, 80}));

    // One cell taken: ring 1 has eight free cells; the four straight neighbours are nearest and
    // the top one comes first in the ring.
    EXPECT_EQ(findFreeCell({80, 80}, 40, 40, grid, view, {{80, 80, 40, 40}}), (PlanPoint{80, 40}));
    // With the top neighbour taken too, three cells are nearest: the bottom side is walked before
    // the left and the right side, so the bottom one wins the tie.
    EXPECT_EQ(findFreeCell({80, 80}, 40, 40, grid, view, {{80, 40, 40, 80}}), (PlanPoint{80, 120}));
}

TEST(RoomEditGrid, RingSearchStaysInsideThePlanAtItsEdges)
{
    const PlanGrid grid{40, 40, 0, 0};
    const PlanRect view{0, 0, 200, 120};
    // The top-left cell is taken; the cells above and left of it lie outside and never count. The
    // one below and the one to the right tie; the bottom side is walked first.
    EXPECT_EQ(findFreeCell({0, 0}, 40, 40, grid, view, {{0, 0, 40, 40}}), (PlanPoint{0, 40}));
    // A cell that would reach past the right edge moves one step back inside.
    EXPECT_EQ(findFreeCell({180, 40}, 40, 40, grid, view, {}), (PlanPoint{140, 40}));
    // Wider than the plan: no cell fits anywhere.
    EXPECT_EQ(findFreeCell({0, 0}, 240, 40, grid, view, {}), kNoFreeCell);
}

TEST(RoomEditGrid, AFullPlanOrAFreeCellBeyondFourRingsGivesNoCell)
{
    const PlanGrid grid{40, 40, 0, 0};
    EXPECT_EQ(findFreeCell({40, 40}, 40, 40, grid, {0, 0, 160, 160}, {{0, 0, 160, 160}}), kNoFreeCell);
    // The only free cell lies five rings away.
    const PlanRect wide{0, 0, 440, 40};
    EXPECT_EQ(findFreeCell({0, 0}, 40, 40, grid, wide, {{0, 0, 200, 40}}), kNoFreeCell);
    EXPECT_EQ(findFreeCell({0, 0}, 40, 40, grid, wide, {{0, 0, 160, 40}}), (PlanPoint{160, 0}));
}

// --- The editor over a venue ---------------------------------------------------------------------

namespace
{

class RoomEdit : public VenueTest::VenueFixture
{
protected:
    void SetUp() override
    {
        VenueFixture::SetUp();
        Tessel::Style::get().clear(); // the editor's own defaults: grid 40, cells 142 × 176
        editor = venue->getRoomEditor();
        ASSERT_NE(editor, nullptr);
        editor->loadStyle();
        editor->setSize(600, 560);
        manager->findParameter("showVenue")->setValue(Tessel::Variant(1));
        room()->findParameter("viewNetwork")->setValue(Tessel::Variant(0));
    }
    void TearDown() override
    {
        Tessel::DragSession::get().cancel();
        VenueFixture::TearDown();
    }

    // A drag of `item` from the network list, its pointer at the speaker cell's corner.
    static Tessel::AutoPtr<Tessel::DragData> browserDrag(SpeakerNetworkItem* item)
    {
        Tessel::AutoPtr<Tessel::DragData> data = new Tessel::DragData;
        data->addItem(static_cast<Tessel::Object*>(item));
        data->getAttributes().setString("kind", "speaker");
        return data;
    }
    bool dropAt(Tessel::DragData* data, int x, int y)
    {
        Tessel::DragSession& session = Tessel::DragSession::get();
        session.begin(nullptr, data);
        session.moveTo(editor, {double(x), double(y)});
        return session.finish(editor, {double(x), double(y)});
    }
    SpeakerPositionComponent* viewOf(const std::string& serial) const
    {
        for (SpeakerPositionComponent* view : editor->getPositionViews())
            if (view->getPosition()->getSpeakerID() == serial)
                return view;
        return nullptr;
    }
    // Drags the placed speaker `serial` from its cell's corner to (x, y); null target: off the plan.
    bool moveOnPlan(const std::string& serial, int x, int y, bool offThePlan = false)
    {
        SpeakerPositionComponent* view = viewOf(serial);
        if (!view || !editor->startDrag(view))
            return false;
        Tessel::DragSession& session = Tessel::DragSession::get();
        if (offThePlan)
            return session.finish(nullptr, {});
        session.moveTo(editor, {double(x), double(y)});
        return session.finish(editor, {double(x), double(y)});
    }
    SpeakerPosition* placeAt(const std::string& serial, int x, int y, SpeakerGroup* group = nullptr)
    {
        SpeakerPosition* position = place(serial, group);
        position->setLocation(x, y);
        room()->update();
        return position;
    }
    // The venue as the automatic save writes it.
    std::string savedText() const
    {
        Vellaris::JsonCodec::ensureInstalled();
        Tessel::Attributes stored;
        venue->save(stored);
        std::string text;
        EXPECT_TRUE(Tessel::JsonStringify(stored, text));
        return text;
    }
    bool listed(SpeakerNetworkItem* item) const
    {
        return venue->getSpeakerFilter()->matches(static_cast<Tessel::Object*>(item));
    }

    RoomEditView* editor = nullptr;
};

} // namespace

TEST_F(RoomEdit, ShowsTheActiveRoomAndFollowsRoomSwitches)
{
    EXPECT_EQ(editor->getRoom(), room());
    Tessel::Object* made = venue->createView("RoomEditView");
    EXPECT_EQ(made, editor) << "the venue's view factory gives its one editor";
    made->release();
    Vellaris::SpeakerRoom* second = venue->newRoom(true);
    EXPECT_EQ(editor->getRoom(), second);
    venue->closeRoom(second);
    EXPECT_EQ(editor->getRoom(), room());
}

TEST_F(RoomEdit, SpeakerDroppedFromTheListTakesTheGroupsFreeCellIsSelectedAndLeavesTheList)
{
    SpeakerNetworkItem* item = announce(1, "111");
    ASSERT_TRUE(listed(item));
    const Vellaris::SpeakerGroupView* tops = editor->firstGroupView();
    ASSERT_NE(tops, nullptr);
    // An empty group's frame is one free cell under its title band.
    const PlanRect area = tops->getArea();
    EXPECT_EQ(tops->getFreeCell(), (PlanPoint{area.x, area.y}));
    EXPECT_EQ(area.width, editor->getCellWidth());
    EXPECT_GT(area.y, tops->getFrame().y) << "the title band lies above the cells";
    ASSERT_TRUE(dropAt(browserDrag(item), area.x + 95, area.y + 50));
    SpeakerPosition* position = room()->findPosition("111");
    ASSERT_NE(position, nullptr);
    EXPECT_EQ(position->getSpeaker(), item);
    EXPECT_EQ(position->getLocationX(), 0) << "stored relative to its group";
    EXPECT_EQ(position->getLocationY(), 0);
    EXPECT_EQ(editor->cellOf(position).x, area.x) << "drawn exactly where it was dropped";
    EXPECT_TRUE(room()->getGroups().front()->containsPosition(position));
    EXPECT_TRUE(item->isSelected()) << "a newly placed speaker winks";
    EXPECT_FALSE(listed(item));
    ASSERT_EQ(editor->getPositionViews().size(), 1u);
    EXPECT_FALSE(editor->getPositionViews().front()->isSpeakerNotFound());
    EXPECT_EQ(editor->getPositionViews().front()->findChild("Speaker"), item);
    EXPECT_EQ(editor->getDropRefusal(), "");
}

TEST_F(RoomEdit, DropsSnapToTheGroupsGridAndFarFromAFreeCellTakeTheOneTheFrameKeeps)
{
    announce(1, "A");
    SpeakerNetworkItem* b = announce(2, "B");
    SpeakerNetworkItem* c = announce(3, "C");
    // Stored far from the plan's corner, as an older desk placed it: drawn at the group's corner.
    SpeakerPosition* a = placeAt("A", 400, 440);
    const Vellaris::SpeakerGroupView* tops = editor->firstGroupView();
    EXPECT_EQ(editor->cellOf(a).x, tops->getArea().x);
    EXPECT_EQ(editor->cellOf(a).y, tops->getArea().y);
    // The frame holds the speaker and one free cell beside it, on the group's grid.
    const PlanPoint spare = tops->getFreeCell();
    const PlanRect area = tops->getArea(); // the views are made anew at every change
    EXPECT_FALSE(
        editor->cellOf(a).intersects({spare.x, spare.y, editor->getCellWidth(), editor->getCellHeight()}));
    EXPECT_EQ((spare.x - area.x) % 40, 0);

    // A drop on the free cell snaps on the group's grid and is stored relative to the group.
    ASSERT_TRUE(dropAt(browserDrag(b), spare.x + 5, spare.y + 5));
    SpeakerPosition* placed = room()->findPosition("B");
    ASSERT_NE(placed, nullptr);
    EXPECT_EQ(placed->getLocationX(), 400 + spare.x - area.x);
    EXPECT_EQ(placed->getLocationY(), 440);
    EXPECT_EQ(editor->cellOf(placed).x, spare.x);

    // Let go on A's cell, with no free cell within reach of the rings: it takes the frame's spare cell.
    const Vellaris::SpeakerGroupView* grown = editor->firstGroupView();
    const PlanPoint next = grown->getFreeCell();
    const PlanRect cellA = editor->cellOf(a);
    ASSERT_TRUE(dropAt(browserDrag(c), cellA.x + 1, cellA.y + 1));
    const PlanRect cellC = editor->cellOf(room()->findPosition("C"));
    EXPECT_EQ((PlanPoint{cellC.x, cellC.y}), next);
    for (SpeakerPosition* other : {a, placed})
        EXPECT_FALSE(cellC.intersects(editor->cellOf(other)));
}

TEST_F(RoomEdit, DropOnAMissingSpeakerReplacesItsPlaceholder)
{
    SpeakerPosition* missing = placeAt("999", 0, 0);
    EXPECT_TRUE(viewOf("999")->isSpeakerNotFound());
    EXPECT_NE(viewOf("999")->findChild("Speaker"), nullptr) << "the placeholder stands in";
    SpeakerNetworkItem* item = announce(1, "222");
    const PlanRect cell = editor->cellOf(missing);
    ASSERT_TRUE(dropAt(browserDrag(item), cell.x + 30, cell.y + 30));
    EXPECT_EQ(room()->findPosition("999"), nullptr);
    SpeakerPosition* placed = room()->findPosition("222");
    ASSERT_NE(placed, nullptr);
    EXPECT_EQ(placed->getLocationX(), 0);
    EXPECT_EQ(placed->getLocationY(), 0);
    EXPECT_EQ(room()->allPositions().size(), 1u);
}

TEST_F(RoomEdit, DraggingOntoASpeakerOfItsGroupSwapsPlacesAndOntoAnotherGroupsJoinsThatGroup)
{
    announce(1, "A");
    announce(2, "B");
    announce(3, "C");
    Tessel::AutoPtr<SpeakerGroup> subs = new SpeakerGroup(SpeakerGroup::kSubs);
    room()->addGroup(subs);
    SpeakerPosition* a = placeAt("A", 0, 0);
    SpeakerPosition* b = placeAt("B", 160, 0);
    SpeakerPosition* c = placeAt("C", 0, 0, subs);
    SpeakerGroup* tops = room()->getGroups().front();

    ASSERT_TRUE(editor->startDrag(viewOf("A")));
    const PlanRect cellB = editor->cellOf(b);
    Tessel::DragSession::get().moveTo(editor, {double(cellB.x + 10), double(cellB.y + 10)});
    EXPECT_TRUE(editor->isSwapping());
    EXPECT_EQ(editor->getDragHandler().getTarget(), (PlanPoint{cellB.x, cellB.y})) << "both cells show";
    ASSERT_TRUE(Tessel::DragSession::get().finish(editor, {double(cellB.x + 10), double(cellB.y + 10)}));
    EXPECT_FALSE(editor->isSwapping());
    EXPECT_EQ(a->getLocationX(), 160);
    EXPECT_EQ(b->getLocationX(), 0);
    EXPECT_TRUE(tops->containsPosition(a));
    EXPECT_TRUE(tops->containsPosition(b));

    // Over a speaker of another group there is no swap: the speaker joins that group beside it.
    ASSERT_TRUE(editor->startDrag(viewOf("A")));
    const PlanRect cellC = editor->cellOf(c);
    Tessel::DragSession::get().moveTo(editor, {double(cellC.x + 10), double(cellC.y + 10)});
    EXPECT_FALSE(editor->isSwapping());
    ASSERT_TRUE(Tessel::DragSession::get().finish(editor, {double(cellC.x + 10), double(cellC.y + 10)}));
    EXPECT_TRUE(subs->containsPosition(a));
    EXPECT_EQ(c->getLocationX(), 0);
    EXPECT_FALSE(editor->cellOf(a).intersects(editor->cellOf(c)));
}

TEST_F(RoomEdit, DraggedOffThePlanTheSpeakerLeavesTheRoomAndTheVenueFile)
{
    SpeakerNetworkItem* item = announce(1, "333");
    placeAt("333", 0, 0);
    EXPECT_FALSE(listed(item));
    // The speaker's own key, not its digits: a venue ID may hold "333" too.
    EXPECT_NE(savedText().find("\"speakerID\": \"333\""), std::string::npos);
    EXPECT_FALSE(moveOnPlan("333", 0, 0, true));
    EXPECT_EQ(room()->findPosition("333"), nullptr);
    EXPECT_EQ(venue->countPositions(), 0);
    EXPECT_TRUE(listed(item));
    EXPECT_EQ(savedText().find("\"speakerID\": \"333\""), std::string::npos);

    // A missing speaker dragged off goes as well.
    placeAt("404", 0, 0);
    EXPECT_FALSE(moveOnPlan("404", 0, 0, true));
    EXPECT_EQ(venue->countPositions(), 0);
}

TEST_F(RoomEdit, MovingOnThePlanKeepsTheGroupAndARefusedDropKeepsTheSpeakerWhereItWasAndSaysWhy)
{
    announce(1, "A");
    announce(2, "B");
    SpeakerPosition* a = placeAt("A", 0, 0);
    placeAt("B", 160, 0);
    const PlanPoint spare = editor->firstGroupView()->getFreeCell();
    const PlanRect before = editor->cellOf(a);
    ASSERT_TRUE(moveOnPlan("A", spare.x + 10, spare.y + 20));
    EXPECT_NE(editor->cellOf(a), before);
    EXPECT_EQ(room()->getGroups().front()->getOwnPositions().size(), 2u);

    // The room locked while the drag is under way: the drop is refused, the speaker is not taken
    // off the plan for it, and the status line says why.
    const int x = a->getLocationX(), y = a->getLocationY();
    ASSERT_TRUE(editor->startDrag(viewOf("A")));
    Tessel::DragSession::get().moveTo(editor, {double(before.x + 5), double(before.y + 5)});
    room()->findParameter("locked")->setValue(Tessel::Variant(1));
    EXPECT_FALSE(Tessel::DragSession::get().finish(editor, {double(before.x + 5), double(before.y + 5)}));
    EXPECT_EQ(editor->getDropRefusal(), "room is locked");
    ASSERT_NE(room()->findPosition("A"), nullptr);
    EXPECT_EQ(a->getLocationX(), x);
    EXPECT_EQ(a->getLocationY(), y);
}

TEST_F(RoomEdit, ASecondGroupTakesTheSpeakerFromTheFirst)
{
    SpeakerNetworkItem* item = announce(1, "A");
    SpeakerPosition* a = placeAt("A", 0, 0);
    SpeakerGroup* tops = room()->getGroups().front();
    Tessel::AutoPtr<SpeakerGroup> subs = new SpeakerGroup(SpeakerGroup::kSubs);
    room()->addGroup(subs);
    item->setSelected(true, true);
    // A stale second position of the same serial in the new group goes too.
    Tessel::AutoPtr<SpeakerPosition> stale = new SpeakerPosition("A");
    subs->insertPosition(stale);
    ASSERT_TRUE(room()->addToGroup(subs, a));
    EXPECT_FALSE(tops->containsPosition(a));
    ASSERT_EQ(subs->getOwnPositions().size(), 1u);
    EXPECT_EQ(subs->getOwnPositions().front().get(), a);
    EXPECT_FALSE(item->isSelected());
    EXPECT_FALSE(room()->addToGroup(venue->newRoom(false)->getGroups().front(), a)) << "another room's group";
}

TEST_F(RoomEdit, DropOnAGroupsFrameJoinsThatGroup)
{
    announce(1, "A");
    SpeakerNetworkItem* b = announce(2, "B");
    Tessel::AutoPtr<SpeakerGroup> subs = new SpeakerGroup(SpeakerGroup::kSubs);
    room()->addGroup(subs);
    placeAt("A", 200, 0, subs);
    // The list's speaker lands in the group whose frame is under the pointer (not the first one),
    // at a free cell beside the speaker already there.
    const PlanRect cellA = editor->cellOf(room()->findPosition("A"));
    ASSERT_TRUE(dropAt(browserDrag(b), cellA.x + 20, cellA.y + 20));
    SpeakerPosition* placed = room()->findPosition("B");
    ASSERT_NE(placed, nullptr);
    EXPECT_TRUE(subs->containsPosition(placed));
    EXPECT_FALSE(editor->cellOf(placed).intersects(cellA));
}

TEST_F(RoomEdit, ALockedRoomRefusesDragsFromThePlanAndFromTheList)
{
    SpeakerNetworkItem* placed = announce(1, "A");
    SpeakerNetworkItem* free = announce(2, "B");
    placeAt("A", 0, 0);
    EXPECT_TRUE(free->canDrag());
    room()->findParameter("locked")->setValue(Tessel::Variant(1));
    ASSERT_TRUE(room()->isLocked());
    EXPECT_FALSE(editor->startDrag(viewOf("A")));
    EXPECT_EQ(editor->getDropRefusal(), "room is locked");
    EXPECT_FALSE(Tessel::DragSession::get().isActive());
    EXPECT_FALSE(free->canDrag());
    EXPECT_EQ(network->getItems().dragRow(0), nullptr);
    editor->setDropRefusal({});
    EXPECT_FALSE(editor->placeSpeaker(free));
    EXPECT_EQ(editor->getDropRefusal(), "room is locked");
    EXPECT_NE(room()->findPosition("A"), nullptr);
    EXPECT_EQ(room()->findPosition("A")->getSpeaker(), placed);
    room()->findParameter("locked")->setValue(Tessel::Variant(0));
    EXPECT_TRUE(editor->startDrag(viewOf("A")));
}

TEST_F(RoomEdit, MissingSpeakersRemoveButtonTakesItOutOnTheNextTurn)
{
    placeAt("777", 0, 0);
    Tessel::Component* placeholder = viewOf("777")->findChild("Speaker");
    ASSERT_NE(placeholder, nullptr);
    placeholder->findParameter("removeFromRoom")->setValue(Tessel::Variant(1));
    EXPECT_NE(room()->findPosition("777"), nullptr);
    platform.advance(0);
    EXPECT_EQ(room()->findPosition("777"), nullptr);
    EXPECT_TRUE(editor->getPositionViews().empty());
}

TEST_F(RoomEdit, EmptyRoomHintNeedsTheBrowserNoSpeakersAndTheImage)
{
    EXPECT_FALSE(editor->showsEmptyHint()) << "no image in the style";
    Tessel::Attributes style;
    style.newAttributes("images")->setString("dragHereImage", "qrc:/skin/images/dragHere.png");
    Tessel::Style::get().load(style);
    editor->loadStyle();
    EXPECT_FALSE(editor->showsEmptyHint()) << "the browser is hidden";
    room()->findParameter("viewNetwork")->setValue(Tessel::Variant(1));
    EXPECT_TRUE(editor->showsEmptyHint());
    // The hint says where a drop lands, and a drop away from every frame lands there.
    auto* groups = Tessel::classCast<Vellaris::RoomGroupEditor>(editor->findChild("Groups"));
    groups->findParameter("newGroupName")->setValue(Tessel::Variant("Fills"));
    groups->findParameter("addGroup")->setValue(Tessel::Variant(SpeakerGroup::kCustom));
    EXPECT_EQ(editor->getEmptyHintText(), "Drag speakers here to place them in Tops.");
    SpeakerNetworkItem* item = announce(1, "A");
    ASSERT_TRUE(dropAt(browserDrag(item), 590, 550));
    EXPECT_TRUE(room()->getGroups().front()->containsPosition(room()->findPosition("A")));
    room()->removeSerial("A");
    room()->removeGroup(room()->getGroups().front());
    room()->update();
    EXPECT_EQ(editor->getEmptyHintText(), "Drag speakers here to place them in Fills.");
    room()->removeGroup(room()->getGroups().front());
    room()->update();
    EXPECT_EQ(editor->getEmptyHintText(), "Drag speakers here to place them in a new Tops group.");
    groups->findParameter("addGroup")->setValue(Tessel::Variant(SpeakerGroup::kSubs));
    placeAt("888", 0, 0);
    EXPECT_FALSE(editor->showsEmptyHint()) << "a missing speaker still fills the room";
}

TEST_F(RoomEdit, GroupsAreMadeRenamedRetypedAndRemovedWithTheirSpeakers)
{
    auto* groups = Tessel::classCast<Vellaris::RoomGroupEditor>(editor->findChild("Groups"));
    ASSERT_NE(groups, nullptr);
    groups->findParameter("addGroup")->setValue(Tessel::Variant(SpeakerGroup::kSubs));
    groups->findParameter("newGroupName")->setValue(Tessel::Variant("Delays"));
    groups->findParameter("addGroup")->setValue(Tessel::Variant(SpeakerGroup::kCustom));
    ASSERT_EQ(groups->listedGroups().size(), 3u);
    EXPECT_EQ(groups->listedGroups()[1]->getTitle(), "Subs");
    EXPECT_EQ(groups->getSelectedGroup()->getTitle(), "Delays");
    EXPECT_EQ(editor->getGroupViews().size(), 3u);

    groups->findParameter("groupName")->setValue(Tessel::Variant("Fills"));
    EXPECT_EQ(groups->listedGroups()[2]->getTitle(), "Fills");
    groups->selectGroup(1);
    EXPECT_FALSE(groups->findParameter("groupName")->isEnabled()) << "only named groups take a name";
    groups->findParameter("groupType")->setValue(Tessel::Variant(1)); // "Mids"
    EXPECT_EQ(groups->listedGroups()[1]->getType(), SpeakerGroup::kMids);

    SpeakerNetworkItem* item = announce(1, "A");
    placeAt("A", 0, 0, groups->listedGroups()[1]);
    EXPECT_FALSE(listed(item));
    EXPECT_EQ(groups->findParameter("selectedGroup")->getValue().asInt(), 1);
    groups->findParameter("removeGroup")->setValue(Tessel::Variant(1));
    EXPECT_EQ(groups->listedGroups().size(), 2u);
    EXPECT_EQ(room()->findPosition("A"), nullptr);
    EXPECT_TRUE(listed(item)) << "its speakers go back to the list";

    // The venue as the automatic save would write it holds the groups as the user left them.
    EXPECT_NE(savedText().find("Fills"), std::string::npos);
}

TEST_F(RoomEdit, PlaceSpeakerByItsSerialTakesTheSelectedGroupAndAFreeCell)
{
    announce(1, "A");
    SpeakerNetworkItem* b = announce(2, "B");
    placeAt("A", 0, 0);
    auto* groups = Tessel::classCast<Vellaris::RoomGroupEditor>(editor->findChild("Groups"));
    groups->addGroup(SpeakerGroup::kSubs);
    editor->findParameter("placeSpeaker")->setValue(Tessel::Variant("B"));
    SpeakerPosition* placed = room()->findPosition("B");
    ASSERT_NE(placed, nullptr);
    EXPECT_EQ(placed->getSpeaker(), b);
    EXPECT_TRUE(groups->listedGroups()[1]->containsPosition(placed));
    EXPECT_FALSE(editor->cellOf(placed).intersects(editor->cellOf(room()->findPosition("A"))));
    EXPECT_TRUE(b->isSelected());
}

TEST_F(RoomEdit, MasterGroupIsNotDrawnAndAListSpeakerDroppedOnARoomWithoutGroupsMakesOne)
{
    room()->removeGroup(room()->getGroups().front());
    Tessel::AutoPtr<SpeakerGroup> master = new SpeakerGroup(SpeakerGroup::kMaster);
    room()->addGroup(master);
    room()->update();
    EXPECT_TRUE(editor->getGroupViews().empty());
    EXPECT_EQ(editor->firstGroupView(), nullptr);
    SpeakerNetworkItem* item = announce(1, "A");
    ASSERT_TRUE(dropAt(browserDrag(item), 30, 30));
    ASSERT_EQ(editor->getGroupViews().size(), 1u);
    EXPECT_EQ(editor->getGroupViews().front()->getGroup()->getType(), SpeakerGroup::kTops);
    EXPECT_NE(room()->findPosition("A"), nullptr);
}

// --- The layout of a real venue ----------------------------------------------------------------

TEST_F(RoomEdit, GroupsOfARealVenueNeitherOverlapNorCoverTheirTitlesAndKeepTheirArrangement)
{
    Tessel::Attributes stored;
    ASSERT_TRUE(Tessel::JsonParse(LargeVenue::venueText(), stored));
    std::string problem;
    ASSERT_TRUE(Vellaris::Venue::checkStoredForm(stored, problem)) << problem;
    venue->load(stored, false);
    venue->setActiveRoom(venue->getRoom(0));
    ASSERT_EQ(editor->getRoom(), venue->getRoom(0));
    // The centre of the window at its smallest and at full HD; and a plan narrower than a cell.
    for (const auto& [width, height] : {std::pair{450, 600}, std::pair{1330, 930}, std::pair{100, 100}})
    {
        SCOPED_TRACE(width);
        editor->setSize(width, height);
        const auto& views = editor->getGroupViews();
        ASSERT_EQ(views.size(), 6u) << "five groups with speakers and the empty one";
        EXPECT_EQ(editor->getPositionViews().size(), size_t(LargeVenue::kMainHallSpeakers));
        const PlanRect content{0, 0, editor->getContentWidth(), editor->getContentHeight()};
        for (size_t i = 0; i < views.size(); ++i)
        {
            const PlanRect frame = views[i]->getFrame();
            const PlanRect area = views[i]->getArea();
            const PlanRect title{frame.x, frame.y, frame.width, area.y - frame.y};
            EXPECT_TRUE(frame.isInside(content));
            EXPECT_GE(title.height, 22) << "a title band along the frame's top";
            EXPECT_TRUE(area.isInside(frame));
            for (size_t j = 0; j < views.size(); ++j)
                if (j != i)
                    EXPECT_FALSE(frame.intersects(views[j]->getFrame())) << i << " and " << j;
            // Every cell of the group lies inside its area, off the title band; the free cell too.
            std::vector<PlanRect> cells;
            for (const auto& position : views[i]->getGroup()->getOwnPositions())
                cells.push_back(editor->cellOf(position.get()));
            const PlanPoint spare = views[i]->getFreeCell();
            const PlanRect spareCell{spare.x, spare.y, editor->getCellWidth(), editor->getCellHeight()};
            EXPECT_TRUE(spareCell.isInside(area));
            for (const PlanRect& cell : cells)
            {
                EXPECT_TRUE(cell.isInside(area));
                EXPECT_FALSE(cell.intersects(title));
                EXPECT_FALSE(cell.intersects(spareCell));
            }
            // The stored arrangement is kept: cells stand apart as their locations do.
            const auto& own = views[i]->getGroup()->getOwnPositions();
            for (size_t k = 1; k < own.size(); ++k)
            {
                EXPECT_EQ(cells[k].x - cells[0].x, own[k]->getLocationX() - own[0]->getLocationX());
                EXPECT_EQ(cells[k].y - cells[0].y, own[k]->getLocationY() - own[0]->getLocationY());
            }
        }
        EXPECT_EQ(views.back()->getTitle(), "Spare");
        EXPECT_GT(views.back()->getFrame().width, 0) << "an empty group keeps a frame to drop into";
    }
    // The wide plan puts groups side by side; the narrow one stacks them.
    editor->setSize(1330, 930);
    const int wideHeight = editor->getContentHeight();
    editor->setSize(450, 600);
    EXPECT_GT(editor->getContentHeight(), wideHeight);
}

TEST_F(RoomEdit, ADropIntoTheEmptyGroupOfAFullPlanLandsThere)
{
    Tessel::Attributes stored;
    ASSERT_TRUE(Tessel::JsonParse(LargeVenue::venueText(), stored));
    venue->load(stored, false);
    venue->setActiveRoom(venue->getRoom(0));
    editor->setSize(450, 600);
    SpeakerNetworkItem* item = announce(1, "555");
    const Vellaris::SpeakerGroupView* spare = editor->getGroupViews().back();
    ASSERT_EQ(spare->getTitle(), "Spare");
    SpeakerGroup* group = spare->getGroup(); // the views are made anew at every change
    const PlanPoint cell = spare->getFreeCell();
    ASSERT_TRUE(dropAt(browserDrag(item), cell.x + 70, cell.y + 80));
    EXPECT_TRUE(group->containsPosition(room()->findPosition("555")));
}

// --- Undo of what the plan's drags do ----------------------------------------------------------

TEST_F(RoomEdit, DropsMovesSwapsAndDragsOffThePlanAreUndoneAndRedone)
{
    Tessel::UndoHistory& history = *Tessel::GetUndoHistory();
    SpeakerNetworkItem* item = announce(1, "111");
    announce(2, "222");
    SpeakerPosition* other = placeAt("222", 160, 0);
    history.clear();
    const PlanGrid& grid = editor->getGrid();

    ASSERT_TRUE(dropAt(browserDrag(item), grid.originX + 5, grid.originY + 200));
    SpeakerPosition* placed = room()->findPosition("111");
    ASSERT_NE(placed, nullptr);
    EXPECT_EQ(history.getUndoName(), "Place Speaker 111");
    const int placedX = placed->getLocationX(), placedY = placed->getLocationY();

    const PlanRect cell = editor->cellOf(placed);
    ASSERT_TRUE(moveOnPlan("111", cell.x + 5 + 320, cell.y + 5));
    EXPECT_EQ(history.getUndoName(), "Move Speaker 111");
    const int movedX = placed->getLocationX();
    EXPECT_NE(movedX, placedX);

    const PlanRect otherCell = editor->cellOf(other);
    ASSERT_TRUE(editor->startDrag(viewOf("111")));
    Tessel::DragSession::get().moveTo(editor, {double(otherCell.x + 10), double(otherCell.y + 10)});
    ASSERT_TRUE(
        Tessel::DragSession::get().finish(editor, {double(otherCell.x + 10), double(otherCell.y + 10)}));
    EXPECT_EQ(history.getUndoName(), "Swap Speakers 111 222");
    EXPECT_EQ(placed->getLocationX(), 160);

    moveOnPlan("111", 0, 0, true);
    EXPECT_EQ(room()->findPosition("111"), nullptr);
    EXPECT_EQ(history.getUndoName(), "Remove Speaker 111");

    history.undo(); // the drag off the plan
    EXPECT_EQ(room()->findPosition("111"), placed);
    EXPECT_EQ(placed->getLocationX(), 160);
    history.undo(); // the swap
    EXPECT_EQ(other->getLocationX(), 160);
    EXPECT_NE(placed->getLocationX(), 160);
    history.undo(); // the move
    EXPECT_EQ(placed->getLocationX(), placedX);
    EXPECT_EQ(placed->getLocationY(), placedY);
    history.undo(); // the drop
    EXPECT_EQ(room()->findPosition("111"), nullptr);
    EXPECT_TRUE(listed(item)) << "back in the network list";

    for (int i = 0; i < 4; ++i)
        history.redo();
    EXPECT_EQ(room()->findPosition("111"), nullptr);
    EXPECT_EQ(other->getLocationX(), movedX) << "the swap came back";
    history.undo();
    EXPECT_EQ(placed->getLocationX(), 160);
    EXPECT_EQ(editor->getPositionViews().size(), 2u) << "the plan shows it again";
}
