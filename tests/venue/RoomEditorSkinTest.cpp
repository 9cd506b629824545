// The floor plan on screen, offscreen: a speaker dragged with the mouse from the network browser
// onto the plan is placed in the room's first group and winks; dragged off the plan it leaves the
// room again; a drag broken off (Escape, the window lost the mouse) changes nothing. A right click
// on a speaker's cell opens its menu inside the window, and the speaker panel's MUTE ends the room's
// solo. A real venue's plan at the window's smallest size and at full HD: frames apart, titles
// shown, every cell reachable by scrolling and shown by FIT, drops right at any zoom, refused drops
// saying why, Escape giving the right column back to the master equaliser. No QML warning and no
// unresolved address on the way.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <QWheelEvent>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <unistd.h>

#include "app/Roomdesk.h"
#include "roomdesk/views/RoomdeskViews.h"
#include "speaker/SpeakerNetworkItem.h"
#include "speaker/SpeakerNetworkManager.h"
#include "tessel/Attributes.h"
#include "tessel/DragSession.h"
#include "tessel/IParameter.h"
#include "tessel/IWindowManager.h"
#include "tessel/Initializer.h"
#include "tessel/Json.h"
#include "tessel/Platform.h"
#include "tessel_qt/QtPlatform.h"
#include "tests/common/FakeLibrary.h"
#include "tests/common/LargeVenue.h"
#include "tests/common/QuickTestSupport.h"
#include "venue/RoomEditView.h"
#include "venue/SpeakerGroup.h"
#include "venue/SpeakerPosition.h"
#include "venue/Venue.h"
#include "venue/VenueManager.h"

namespace
{

using namespace QuickTestSupport;

class RoomEditorSkin : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        home = usePrivateHome("room-editor-skin-");
        ::setenv("LKNET_DISCOVERY_PORT", std::to_string(40000 + (::getpid() + 17) % 20000).c_str(), 1);
        static int argc = 1;
        static char name[] = "room_editor_skin_tests";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
        Tessel::runInitializers();
        library = std::make_unique<NetworkTest::FakeLibrary>();
        platform = std::make_unique<Tessel::Qt::QtPlatform>();
        Vellaris::registerRoomdeskViews();
        platform->setSkinUrl(QUrl::fromLocalFile(QStringLiteral(SKIN_DIR "/")));
        Tessel::setModuleIdentifier("roomdesk");
        qInstallMessageHandler(captureMessages);
        startDesk();
    }
    static void TearDownTestSuite()
    {
        if (application)
            application->shutdown();
        qInstallMessageHandler(nullptr);
        Tessel::destroyRootComponent();
        platform.reset();
        library.reset();
        app.reset();
        std::filesystem::remove_all(home);
    }
    // The desk once for every test: its components, the speaker list over the stand-in library
    // (speakers appear without processes) and the main window.
    static void startDesk()
    {
        Vellaris::Roomdesk::createComponents();
        speakers = new Vellaris::SpeakerNetworkManager(library.get());
        Tessel::getRootComponent()->addChild(speakers);
        application = Tessel::Application::getApplication();
        application->initializeApplication();
        ASSERT_TRUE(application->startup());
        ASSERT_EQ(Vellaris::SpeakerNetworkManager::instance(), speakers);
        ASSERT_TRUE(Tessel::GetWindowManager()->openWindow("ApplicationWindow", application, true));
        window = qobject_cast<QQuickWindow*>(platform->findForm("ApplicationWindow"));
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    }
    // Every test starts on a fresh venue that is shown, with no speaker on the network.
    void SetUp() override
    {
        ASSERT_NE(window, nullptr);
        manager = Vellaris::VenueManager::instance();
        venue = manager->getVenue();
        manager->resetVenue();
        manager->findParameter("showVenue")->setValue(Tessel::Variant(1));
        room = venue->getActiveRoom();
        ASSERT_NE(room, nullptr);
        ASSERT_TRUE(waitFor(
            [&]
            {
                plan = find("roomEditView");
                return plan && plan->isVisible() && plan->width() > 300 && plan->height() > 300;
            }));
        capturedWarnings().clear();
    }
    void TearDown() override
    {
        if (Tessel::DragSession::get().isActive())
            Tessel::DragSession::get().cancel();
        QTest::mouseRelease(window, ::Qt::LeftButton, ::Qt::NoModifier, QPoint(5, 5));
        for (int server : servers)
            library->withdraw(server);
        servers.clear();
        QTest::qWait(30);
    }

    // A speaker on the network (its device at 127.0.0.1), once its item exists.
    Vellaris::SpeakerNetworkItem* announce(int server, const char* serial)
    {
        library->setDevice(server, "127.0.0.1", "stage", uint16_t(4000 + server));
        library->announce(server, "TX10A", "SPK", serial);
        servers.push_back(server);
        EXPECT_TRUE(waitFor([&] { return speakers->findItemBySerial(serial) != nullptr; }));
        return speakers->findItemBySerial(serial);
    }
    static QQuickItem* find(const QString& name) { return findBelow(window->contentItem(), name); }
    // The item named `name` that is shown (menus closed before keep theirs, hidden), or nullptr.
    static QQuickItem* findShown(const QString& name, QQuickItem* from = nullptr)
    {
        from = from ? from : window->contentItem();
        if (!from->isVisible())
            return nullptr;
        if (from->objectName() == name)
            return from;
        for (QQuickItem* child : from->childItems())
            if (QQuickItem* found = findShown(name, child))
                return found;
        return nullptr;
    }
    static QStringList shownMenuEntries()
    {
        QStringList texts;
        for (int i = 0; QQuickItem* entry = findShown("speakerMenuEntry" + QString::number(i)); ++i)
            texts << entry->property("text").toString();
        return texts;
    }
    // The plan's cell of the speaker `serial`, or nullptr.
    static QQuickItem* cellOf(const char* serial)
    {
        for (int i = 0; i < 128; ++i)
            if (QQuickItem* cell = find("speakerCell" + QString::number(i)))
                if (cell->property("serial").toString() == QLatin1String(serial))
                    return cell;
        return nullptr;
    }
    static Tessel::IParameter* speakerParam(Vellaris::SpeakerNetworkItem* item, const std::string& name)
    {
        return Tessel::getRootComponent()->lookupParameter(item->getComponentPath() + "/component/" + name);
    }
    static int valueOf(Vellaris::SpeakerNetworkItem* item, const std::string& name)
    {
        Tessel::IParameter* param = speakerParam(item, name);
        EXPECT_NE(param, nullptr) << name;
        return param ? int(param->getValue().asInt()) : -1;
    }
    static void click(QQuickItem* item, ::Qt::MouseButton button = ::Qt::LeftButton, double dx = 0,
                      double dy = 0)
    {
        ASSERT_NE(item, nullptr);
        QTest::mouseClick(window, button, ::Qt::NoModifier, centreOf(item, dx, dy));
    }
    // Presses at `from` and moves to `to` in steps, the button held.
    static void pressAndMove(QPoint from, QPoint to)
    {
        QTest::mousePress(window, ::Qt::LeftButton, ::Qt::NoModifier, from);
        const int steps = 12;
        for (int i = 1; i <= steps; ++i)
        {
            QTest::mouseMove(window, from + (to - from) * i / steps);
            QTest::qWait(15);
        }
    }

    static QPoint centreOf(QQuickItem* item, double dx = 0, double dy = 0)
    {
        const QPointF centre = item->mapToScene(QPointF(item->width() / 2 + dx, item->height() / 2 + dy));
        return centre.toPoint();
    }
    // Presses at `from`, moves there in steps letting the drag follow, and lets go at `to`.
    static void dragWithMouse(QWindow* window, QPoint from, QPoint to)
    {
        QTest::mousePress(window, ::Qt::LeftButton, ::Qt::NoModifier, from);
        const int steps = 12;
        for (int i = 1; i <= steps; ++i)
        {
            QTest::mouseMove(window, from + (to - from) * i / steps);
            QTest::qWait(15);
        }
        QTest::mouseRelease(window, ::Qt::LeftButton, ::Qt::NoModifier, to);
        QTest::qWait(30);
    }

    static inline std::unique_ptr<QGuiApplication> app;
    static inline std::unique_ptr<NetworkTest::FakeLibrary> library;
    static inline std::unique_ptr<Tessel::Qt::QtPlatform> platform;
    static inline std::string home;
    static inline Tessel::Application* application = nullptr;
    static inline Vellaris::SpeakerNetworkManager* speakers = nullptr; // owned by the root
    static inline QQuickWindow* window = nullptr;

    Vellaris::VenueManager* manager = nullptr;
    Vellaris::Venue* venue = nullptr;
    Vellaris::SpeakerRoom* room = nullptr;
    QQuickItem* plan = nullptr;
    std::vector<int> servers;
};

} // namespace

TEST_F(RoomEditorSkin, MouseDragFromTheBrowserPlacesTheSpeakerAndDraggingItOffRemovesIt)
{
    Vellaris::SpeakerNetworkItem* item = announce(1, "4242");
    ASSERT_NE(item, nullptr);

    QQuickItem* row = nullptr;
    ASSERT_TRUE(waitFor([&] { return (row = find("speakerRow0")) && row->isVisible(); }));
    // The empty room's hint says where a drop lands.
    QQuickItem* hint = find("emptyHintText");
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(waitFor([&] { return hint->isVisible(); })) << "the hint does not show";
    EXPECT_EQ(hint->property("text").toString(), "Drag speakers here to place them in Tops.");
    room->findParameter("viewNetwork")->setValue(Tessel::Variant(0));
    EXPECT_TRUE(waitFor([&] { return !hint->isVisible(); })) << "the hint stays with the browser closed";
    room->findParameter("viewNetwork")->setValue(Tessel::Variant(1));
    EXPECT_TRUE(waitFor([&] { return hint->isVisible(); })) << "the hint does not come back with the browser";

    // From the browser row to the middle of the plan.
    dragWithMouse(window, centreOf(row), centreOf(plan, 0, 40));
    ASSERT_TRUE(waitFor([&] { return room->findPosition("4242") != nullptr; }))
        << "the speaker was not placed";
    Vellaris::SpeakerPosition* position = room->findPosition("4242");
    EXPECT_EQ(position->getSpeaker(), item);
    EXPECT_TRUE(room->getGroups().front()->containsPosition(position));
    EXPECT_TRUE(item->isSelected()) << "a newly placed speaker winks";
    EXPECT_EQ(speakers->getItems().countRows(), 0) << "the browser offers only unplaced speakers";

    // The cell on the plan, dragged back over the browser and let go there.
    QQuickItem* cell = nullptr;
    ASSERT_TRUE(
        waitFor([&] { return (cell = findBelow(window->contentItem(), "speakerCell0")) != nullptr; }));
    const QPoint browserPoint(60, 300);
    dragWithMouse(window, centreOf(cell, 0, 20), browserPoint);
    EXPECT_TRUE(waitFor([&] { return room->findPosition("4242") == nullptr; })) << "dragging off keeps it";
    EXPECT_EQ(venue->countPositions(), 0);
    EXPECT_TRUE(waitFor([&] { return speakers->getItems().countRows() == 1; }));

    // Placed again, then the room is locked (with the browser hidden, which gives the lock back):
    // a drag from the plan is refused and the speaker stays.
    ASSERT_TRUE(waitFor([&] { return (row = findBelow(window->contentItem(), "speakerRow0")) != nullptr; }));
    dragWithMouse(window, centreOf(row), centreOf(plan, 0, 40));
    ASSERT_TRUE(waitFor([&] { return room->findPosition("4242") != nullptr; }));
    room->findParameter("viewNetwork")->setValue(Tessel::Variant(0));
    room->findParameter("locked")->setValue(Tessel::Variant(1));
    ASSERT_TRUE(room->isLocked());
    ASSERT_TRUE(
        waitFor([&] { return (cell = findBelow(window->contentItem(), "speakerCell0")) != nullptr; }));
    dragWithMouse(window, centreOf(cell, 0, 20), QPoint(window->width() - 20, window->height() - 20));
    QTest::qWait(50);
    EXPECT_NE(room->findPosition("4242"), nullptr) << "a locked room keeps its speakers";

    room->findParameter("locked")->setValue(Tessel::Variant(0));
    room->findParameter("viewNetwork")->setValue(Tessel::Variant(1));
    capturedWarnings().removeIf([](const QString& w) { return w.contains("does not support raise"); });
    EXPECT_TRUE(capturedWarnings().isEmpty()) << capturedWarnings().join("\n").toStdString();
}

// A speaker placed on the plan (not winking) whose place a broken-off drag must keep.
class BrokenOffDrag : public RoomEditorSkin
{
protected:
    void SetUp() override
    {
        RoomEditorSkin::SetUp();
        ASSERT_NE(announce(2, "5151"), nullptr);
        ASSERT_TRUE(venue->getRoomEditor()->placeSpeaker(speakers->findItemBySerial("5151")));
        position = room->findPosition("5151");
        ASSERT_NE(position, nullptr);
        position->getSpeaker()->setSelected(false, true); // placing it made it wink
        x = position->getLocationX();
        y = position->getLocationY();
        ASSERT_TRUE(waitFor([&] { return cellOf("5151") != nullptr; }));
    }
    // Nothing dragged any more, the speaker in its room at its place.
    bool settled() const
    {
        return !Tessel::DragSession::get().isActive() && !plan->property("dragging").toBool() &&
               room->findPosition("5151") == position && position->getLocationX() == x &&
               position->getLocationY() == y;
    }
    // Starts dragging the placed speaker's cell towards `to`.
    void dragCellTo(QPoint to)
    {
        QQuickItem* cell = nullptr;
        ASSERT_TRUE(waitFor([&] { return (cell = cellOf("5151")) != nullptr; }));
        pressAndMove(centreOf(cell, 0, 20), to);
        ASSERT_TRUE(Tessel::DragSession::get().isActive()) << "the drag did not start";
    }
    // Starts dragging the first speaker of the browser towards `to`.
    void dragRowTo(QPoint to)
    {
        QQuickItem* row = nullptr;
        ASSERT_TRUE(waitFor([&] { return (row = find("speakerRow0")) && row->isVisible(); }));
        pressAndMove(centreOf(row), to);
        ASSERT_TRUE(Tessel::DragSession::get().isActive()) << "the drag did not start";
    }
    void release(QPoint at)
    {
        QTest::mouseMove(window, at);
        QTest::mouseRelease(window, ::Qt::LeftButton, ::Qt::NoModifier, at);
        QTest::qWait(30);
    }
    // The window loses the mouse: whatever holds it is told so.
    void loseTheMouse()
    {
        QQuickItem* grabber = window->mouseGrabberItem();
        ASSERT_NE(grabber, nullptr);
        grabber->ungrabMouse();
    }

    Vellaris::SpeakerPosition* position = nullptr;
    int x = 0, y = 0;
    const QPoint browserPoint{60, 300};
};

TEST_F(BrokenOffDrag, EscapeDropsNothingAndRemovesNothing)
{
    // Escape over the browser, then let go there: the speaker stays on the plan, unpicked.
    dragCellTo(browserPoint);
    QTest::keyClick(window, ::Qt::Key_Escape);
    release(browserPoint + QPoint(5, 5));
    EXPECT_NE(room->findPosition("5151"), nullptr) << "Escape dropped the speaker off the plan";
    EXPECT_TRUE(waitFor([&] { return settled(); }));
    EXPECT_FALSE(position->getSpeaker()->isSelected()) << "a broken-off drag is no click either";

    // Over another place of the plan: it does not move there.
    dragCellTo(centreOf(plan, 150, 150));
    QTest::keyClick(window, ::Qt::Key_Escape);
    release(centreOf(plan, 150, 150));
    EXPECT_TRUE(waitFor([&] { return settled(); })) << "Escape moved the speaker";

    // A speaker of the browser over the plan is not placed.
    ASSERT_NE(announce(3, "6161"), nullptr);
    dragRowTo(centreOf(plan, 150, 150));
    QTest::keyClick(window, ::Qt::Key_Escape);
    release(centreOf(plan, 150, 150));
    EXPECT_EQ(room->findPosition("6161"), nullptr) << "Escape placed the speaker";
    EXPECT_FALSE(Tessel::DragSession::get().isActive());
    EXPECT_FALSE(find("dragTarget")->isVisible());
    EXPECT_TRUE(capturedWarnings().isEmpty()) << capturedWarnings().join("\n").toStdString();
}

TEST_F(BrokenOffDrag, ALostMouseDropsNothingAndRemovesNothing)
{
    // Over another place of the plan.
    dragCellTo(centreOf(plan, 150, 150));
    loseTheMouse();
    release(centreOf(plan, 150, 150));
    EXPECT_TRUE(waitFor([&] { return settled(); })) << "the speaker moved with a lost mouse";

    // Over the browser: no drag off the plan.
    dragCellTo(browserPoint);
    loseTheMouse();
    release(browserPoint);
    EXPECT_TRUE(waitFor([&] { return settled(); })) << "a lost mouse took the speaker out of the room";
    EXPECT_FALSE(position->getSpeaker()->isSelected());

    // A speaker of the browser over the plan is not placed.
    ASSERT_NE(announce(3, "6161"), nullptr);
    dragRowTo(centreOf(plan, 150, 150));
    loseTheMouse();
    release(centreOf(plan, 150, 150));
    EXPECT_EQ(room->findPosition("6161"), nullptr) << "a lost mouse placed the speaker";
    EXPECT_FALSE(Tessel::DragSession::get().isActive());
    EXPECT_FALSE(find("dragTarget")->isVisible());
    EXPECT_TRUE(capturedWarnings().isEmpty()) << capturedWarnings().join("\n").toStdString();
}

TEST_F(RoomEditorSkin, ARightClickOnACellOpensTheSpeakersMenuInsideTheWindow)
{
    Vellaris::SpeakerNetworkItem* item = announce(4, "7171");
    ASSERT_NE(item, nullptr);
    QQuickItem* row = nullptr;
    ASSERT_TRUE(waitFor([&] { return (row = find("speakerRow0")) && row->isVisible(); }));
    // The row's menu: its entries.
    click(row, ::Qt::RightButton);
    ASSERT_TRUE(waitFor([&] { return findShown("speakerMenuFrame") != nullptr; })) << "no menu on the row";
    const QStringList rowEntries = shownMenuEntries();
    EXPECT_TRUE(rowEntries.contains("Copy")) << rowEntries.join(",").toStdString();
    QTest::keyClick(window, ::Qt::Key_Escape);
    ASSERT_TRUE(waitFor([&] { return findShown("speakerMenuFrame") == nullptr; }));

    // Placed low on the plan (below a missing speaker of its group, which stays at the group's
    // corner); a right click at the cell's foot, near the window's bottom edge.
    Tessel::AutoPtr<Vellaris::SpeakerPosition> anchor = new Vellaris::SpeakerPosition("7170");
    room->getGroups().front()->insertPosition(anchor);
    ASSERT_TRUE(venue->getRoomEditor()->placeSpeaker(item));
    room->findPosition("7171")->setLocation(0, int(plan->height()) - 176 - 60);
    room->update();
    QQuickItem* cell = nullptr;
    ASSERT_TRUE(waitFor([&] { return (cell = cellOf("7171")) != nullptr; }));
    const QPoint foot = cell->mapToScene(QPointF(cell->width() - 10, cell->height() - 8)).toPoint();
    ASSERT_GT(foot.y(), window->height() - 120) << "the cell is not near the bottom edge";
    QTest::mouseClick(window, ::Qt::RightButton, ::Qt::NoModifier, foot);
    QQuickItem* frame = nullptr;
    ASSERT_TRUE(waitFor([&] { return (frame = findShown("speakerMenuFrame")) && frame->height() > 0; }))
        << "no menu on the cell";
    const QStringList cellEntries = shownMenuEntries();
    EXPECT_EQ(cellEntries, rowEntries) << "the cell's menu is not the row's";
    const QRectF shown(frame->mapToScene(QPointF(0, 0)), frame->size());
    EXPECT_GE(shown.left(), 0);
    EXPECT_GE(shown.top(), 0);
    EXPECT_LE(shown.right(), window->width()) << "the menu leaves the window to the right";
    EXPECT_LE(shown.bottom(), window->height()) << "the menu leaves the window at the bottom";
    QTest::keyClick(window, ::Qt::Key_Escape);
    EXPECT_TRUE(capturedWarnings().isEmpty()) << capturedWarnings().join("\n").toStdString();
}

TEST_F(RoomEditorSkin, UnmutingASpeakerOnItsPanelEndsTheRoomsSolo)
{
    Vellaris::SpeakerNetworkItem* lead = announce(5, "8181");
    Vellaris::SpeakerNetworkItem* other = announce(6, "8282");
    ASSERT_TRUE(lead && other);
    ASSERT_TRUE(venue->getRoomEditor()->placeSpeaker(lead));
    ASSERT_TRUE(venue->getRoomEditor()->placeSpeaker(other));
    ASSERT_TRUE(waitFor([&] { return cellOf("8181") && cellOf("8282"); }));

    // The lead soloed from its panel: the other speaker is muted.
    click(cellOf("8181"));
    QQuickItem* solo = nullptr;
    ASSERT_TRUE(waitFor([&] { return (solo = find("solo")) && solo->isVisible() && solo->isEnabled(); }));
    click(solo);
    ASSERT_TRUE(waitFor([&] { return valueOf(lead, "solo") == 1 && valueOf(other, "line/ch1/mute") == 1; }));

    // The other speaker's panel: its MUTE switched off ends the solo, so every speaker plays.
    click(cellOf("8282"));
    QQuickItem* mute = nullptr;
    ASSERT_TRUE(waitFor(
        [&] { return (mute = find("mute")) && mute->isVisible() && mute->property("checked").toBool(); }));
    click(mute);
    EXPECT_TRUE(waitFor([&] { return valueOf(other, "line/ch1/mute") == 0; }));
    EXPECT_EQ(valueOf(lead, "solo"), 0) << "the solo survived the unmute";
    EXPECT_EQ(valueOf(lead, "line/ch1/mute"), 0);
    EXPECT_TRUE(capturedWarnings().isEmpty()) << capturedWarnings().join("\n").toStdString();
}

namespace
{

// The main hall of a real venue (64 speakers in five groups and an empty sixth, none of them on
// the network) on the plan.
class BigVenuePlan : public RoomEditorSkin
{
protected:
    void SetUp() override
    {
        RoomEditorSkin::SetUp();
        Tessel::Attributes stored;
        ASSERT_TRUE(Tessel::JsonParse(LargeVenue::venueText(), stored));
        venue->load(stored);
        venue->setActiveRoom(venue->getRoom(0));
        room = venue->getActiveRoom();
        ASSERT_TRUE(waitFor([&] { return find("speakerCell63") && find("groupFrame5"); }));
        content = find("planContent");
        view = find("planView");
        ASSERT_TRUE(content && view);
        // The window outlives a test: each starts at full size, scrolled to the top left.
        if (QQuickItem* editor = find("roomEditor"))
            editor->setProperty("zoom", 1.0);
        view->setProperty("contentX", 0);
        view->setProperty("contentY", 0);
    }
    void TearDown() override
    {
        resizeWindow(1024, 748);
        RoomEditorSkin::TearDown();
    }
    void resizeWindow(int width, int height)
    {
        window->setMaximumSize(QSize(width, height));
        window->setMinimumSize(QSize(width, height));
        window->resize(width, height);
        waitFor([&] { return window->width() == width && window->height() == height; });
        // The offscreen platform says it keeps no size hints: not a fault of the skin.
        QTest::qWait(50);
        capturedWarnings().removeIf([](const QString& w) { return w.contains("propagateSizeHints"); });
    }
    // The frames laid out for the plan's present width (the editor lays them out anew on the
    // next turn after a resize).
    bool laidOut() const
    {
        const QRectF whole(0, 0, content->width(), content->height());
        for (QQuickItem* frame : named("groupFrame"))
            if (!whole.contains(inContent(frame)))
                return false;
        return named("groupFrame").size() == 6;
    }
    static QRectF inContent(QQuickItem* item)
    {
        return item->mapRectToItem(content, QRectF(0, 0, item->width(), item->height()));
    }
    static QRectF onScreen(QQuickItem* item)
    {
        return item->mapRectToScene(QRectF(0, 0, item->width(), item->height()));
    }
    static std::vector<QQuickItem*> named(const QString& prefix)
    {
        std::vector<QQuickItem*> items;
        for (int i = 0; QQuickItem* item = find(prefix + QString::number(i)); ++i)
            items.push_back(item);
        return items;
    }
    // Scrolls the plan so that plan pixel `y` is near the view's top (within the scroll range).
    static void scrollTo(double y)
    {
        const double most = view->property("contentHeight").toDouble() - view->height();
        view->setProperty("contentY", std::max(0.0, std::min(y, most)));
    }
    double zoom() const { return find("roomEditor")->property("zoom").toDouble(); }
    // Writes the window to $PLAN_SHOT_DIR/<name>.png when that is set.
    static void shoot(const char* name)
    {
        if (const char* dir = std::getenv("PLAN_SHOT_DIR"))
            window->grabWindow().save(QString::fromLocal8Bit(dir) + "/" + name + ".png");
    }

    static inline QQuickItem* content = nullptr;
    static inline QQuickItem* view = nullptr;
};

} // namespace

TEST_F(BigVenuePlan, FramesStayApartTitlesShowAndEveryCellIsReachableAndFitShowsThemAll)
{
    for (const QSize size : {QSize(1024, 748), QSize(1920, 1080)})
    {
        SCOPED_TRACE(size.width());
        resizeWindow(size.width(), size.height());
        ASSERT_TRUE(waitFor([&] { return find("speakerCell63") && laidOut(); }));
        const std::vector<QQuickItem*> frames = named("groupFrame");
        const std::vector<QQuickItem*> cells = named("speakerCell");
        ASSERT_EQ(frames.size(), 6u);
        ASSERT_EQ(cells.size(), 64u);
        const QRectF whole(0, 0, content->width(), content->height());
        for (size_t i = 0; i < frames.size(); ++i)
        {
            const QRectF frame = inContent(frames[i]);
            for (size_t j = i + 1; j < frames.size(); ++j)
                EXPECT_FALSE(frame.intersects(inContent(frames[j]))) << "frames " << i << " and " << j;
            // The title inside its frame, with room for its text, and nothing over it.
            QQuickItem* title = findBelow(frames[i], "groupTitle");
            ASSERT_NE(title, nullptr);
            const QRectF titleRect = inContent(title);
            EXPECT_FALSE(title->property("text").toString().isEmpty());
            EXPECT_TRUE(frame.contains(titleRect)) << title->property("text").toString().toStdString();
            EXPECT_GE(title->width(), title->property("implicitWidth").toDouble())
                << "the title is cut: " << title->property("text").toString().toStdString();
            for (QQuickItem* cell : cells)
                EXPECT_FALSE(inContent(cell).intersects(titleRect));
            for (size_t j = 0; j < frames.size(); ++j)
            {
                if (j != i)
                {
                    EXPECT_FALSE(inContent(frames[j]).intersects(titleRect));
                }
            }
            EXPECT_TRUE(whole.contains(frame))
                << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height() << " in "
                << whole.width() << "x" << whole.height();
        }
        // Every cell lies in the scrolled area, so scrolling reaches it.
        for (QQuickItem* cell : cells)
            EXPECT_TRUE(whole.contains(inContent(cell)));
        EXPECT_NEAR(view->property("contentWidth").toDouble(), content->width() * zoom(), 1);
        EXPECT_NEAR(view->property("contentHeight").toDouble(), content->height() * zoom(), 1);

        // FIT: every frame (so every cell) inside the view.
        click(find("fitButton"));
        ASSERT_TRUE(waitFor([&] { return zoom() < 1; })) << "the plan does not fit the view at 100 %";
        const QRectF shown = onScreen(view);
        for (QQuickItem* frame : frames)
            EXPECT_TRUE(shown.contains(onScreen(frame))) << "a frame outside the fitted view";
        // Zoomed far out, every title still reads: drawn at least 10 screen pixels high, inside the
        // view.
        for (QQuickItem* frame : frames)
        {
            QQuickItem* title = findBelow(frame, "groupTitle");
            EXPECT_GE(onScreen(title).height(), 10) << title->property("text").toString().toStdString();
            EXPECT_TRUE(shown.contains(onScreen(title)));
        }
        shoot(size.width() == 1024 ? "plan-1024-fit" : "plan-1920-fit");
        find("roomEditor")->setProperty("zoom", 1.0);
        view->setProperty("contentY", 0);
        QTest::qWait(30);
        shoot(size.width() == 1024 ? "plan-1024" : "plan-1920");
    }
    EXPECT_TRUE(capturedWarnings().isEmpty()) << capturedWarnings().join("\n").toStdString();
}

TEST_F(BigVenuePlan, WheelScrollsCtrlWheelZoomsAndADropAtAnyZoomLandsUnderThePointer)
{
    QQuickItem* editor = find("roomEditor");
    const QPoint middle = centreOf(view);
    // The plain wheel scrolls, the zoom stays.
    QWheelEvent down(QPointF{middle}, QPointF{middle}, QPoint(), QPoint(0, -240), ::Qt::NoButton,
                     ::Qt::NoModifier, ::Qt::NoScrollPhase, false);
    QGuiApplication::sendEvent(window, &down);
    EXPECT_TRUE(waitFor([&] { return view->property("contentY").toDouble() > 0; }))
        << "the wheel did not scroll";
    EXPECT_DOUBLE_EQ(zoom(), 1);
    // Ctrl + wheel zooms out.
    QWheelEvent out(QPointF{middle}, QPointF{middle}, QPoint(), QPoint(0, -360), ::Qt::NoButton,
                    ::Qt::ControlModifier, ::Qt::NoScrollPhase, false);
    QGuiApplication::sendEvent(window, &out);
    EXPECT_TRUE(waitFor([&] { return zoom() < 0.9; })) << "Ctrl + wheel did not zoom";

    // At half size, a speaker from the browser let go on the empty group's frame lands in its
    // cell, under the pointer.
    editor->setProperty("zoom", 0.5);
    view->setProperty("contentX", 0);
    view->setProperty("contentY", 0);
    announce(7, "9191");
    QQuickItem* spare = named("groupFrame").back();
    scrollTo(inContent(spare).top() * 0.5 - 20);
    ASSERT_TRUE(waitFor([&] { return onScreen(view).contains(onScreen(spare)); }))
        << "scroll the empty group into view";
    QQuickItem* row = nullptr;
    ASSERT_TRUE(waitFor([&] { return (row = find("speakerRow0")) && row->isVisible(); }));
    const QRectF spareRect = onScreen(spare);
    const QPoint at = QPointF(spareRect.center().x(), spareRect.bottom() - 30).toPoint();
    dragWithMouse(window, centreOf(row), at);
    ASSERT_TRUE(waitFor([&] { return room->findPosition("9191") != nullptr; })) << "the drop was refused";
    EXPECT_EQ(room->getGroups().back()->getTitle(), "Spare");
    EXPECT_TRUE(room->getGroups().back()->containsPosition(room->findPosition("9191")));
    QQuickItem* cell = nullptr;
    ASSERT_TRUE(waitFor([&] { return (cell = cellOf("9191")) != nullptr; }));
    EXPECT_TRUE(onScreen(cell).contains(at)) << "the cell is not under the pointer";
    EXPECT_NEAR(onScreen(cell).width(), 142 * 0.5, 1);
    shoot("plan-1024-zoom50");

    // A cell moved within its group at this zoom lands under the pointer too: the Delays' free cell.
    QQuickItem* delays = named("groupFrame")[4];
    ASSERT_EQ(findBelow(delays, "groupTitle")->property("text").toString(), "DELAYS");
    const Vellaris::SpeakerGroupView* delaysView = venue->getRoomEditor()->getGroupViews()[4].get();
    const Vellaris::PlanPoint free = delaysView->getFreeCell();
    Vellaris::SpeakerGroup* delaysGroup = delaysView->getGroup(); // the views are made anew at every change
    scrollTo(free.y * 0.5 - 40);
    ASSERT_TRUE(waitFor([&] { return (cell = cellOf("9191")) && onScreen(view).contains(onScreen(cell)); }));
    const QPoint target = content->mapToScene(QPointF(free.x + 71, free.y + 88)).toPoint();
    ASSERT_TRUE(onScreen(view).contains(target));
    dragWithMouse(window, centreOf(cell), target);
    ASSERT_TRUE(waitFor([&] { return delaysGroup->containsPosition(room->findPosition("9191")); }));
    ASSERT_TRUE(waitFor([&] { return (cell = cellOf("9191")) && onScreen(cell).contains(target); }))
        << "the moved cell is not under the pointer";
    EXPECT_TRUE(capturedWarnings().isEmpty()) << capturedWarnings().join("\n").toStdString();
}

TEST_F(BigVenuePlan, RefusedDropsSayWhyAndEscapeOrEmptyPlanGiveTheColumnBackToTheMasterGeq)
{
    Vellaris::SpeakerNetworkItem* item = announce(8, "9292");
    ASSERT_TRUE(venue->getRoomEditor()->placeSpeaker(item));
    QQuickItem* cell = nullptr;
    ASSERT_TRUE(waitFor([&] { return (cell = cellOf("9292")) && cell->isVisible(); }));
    scrollTo(inContent(cell).top());
    QTest::qWait(30);

    // Picked on the plan: the inspector shows it and its cell is current.
    click(cell);
    ASSERT_TRUE(waitFor([&] { return find("masterGeq") == nullptr || !find("masterGeq")->isVisible(); }));
    EXPECT_TRUE(waitFor([&] { return cell->property("current").toBool(); }));
    // Escape: the master equaliser again, no cell current.
    QTest::keyClick(window, ::Qt::Key_Escape);
    EXPECT_TRUE(waitFor([&] { return find("masterGeq") && find("masterGeq")->isVisible(); }))
        << "Escape left the speaker in the right column";
    EXPECT_FALSE(cell->property("current").toBool());
    // Picked again, then a click on empty plan.
    click(cell);
    ASSERT_TRUE(waitFor([&] { return cell->property("current").toBool(); }));
    const QRectF cellRect = onScreen(cell);
    const QRectF frame = onScreen(named("groupFrame")[0]);
    QTest::mouseClick(window, ::Qt::LeftButton, ::Qt::NoModifier,
                      QPoint(int(frame.left()) - 6, int(cellRect.center().y())));
    EXPECT_TRUE(waitFor([&] { return find("masterGeq") && find("masterGeq")->isVisible(); }))
        << "a click on empty plan left the speaker in the right column";
    EXPECT_FALSE(cell->property("current").toBool());

    // A muted speaker's cell carries the mute mark.
    QQuickItem* mark = findBelow(cell, "muteMark");
    ASSERT_NE(mark, nullptr);
    EXPECT_FALSE(mark->isVisible());
    speakerParam(item, "line/ch1/mute")->setValue(Tessel::Variant(1));
    EXPECT_TRUE(waitFor([&] { return mark->isVisible(); })) << "no mute mark on a muted speaker";
    shoot("plan-1024-muted");
    speakerParam(item, "line/ch1/mute")->setValue(Tessel::Variant(0));

    // The room locked (the browser hidden, which gives the lock back): a drag from the plan is
    // refused and the status line says why.
    QQuickItem* status = find("undoStatus");
    ASSERT_NE(status, nullptr);
    room->findParameter("viewNetwork")->setValue(Tessel::Variant(0));
    room->findParameter("locked")->setValue(Tessel::Variant(1));
    ASSERT_TRUE(room->isLocked());
    ASSERT_TRUE(waitFor([&] { return (cell = cellOf("9292")) && cell->isVisible(); }));
    dragWithMouse(window, centreOf(cell), centreOf(view, 0, 60));
    EXPECT_TRUE(waitFor(
        [&] { return status->isVisible() && status->property("text").toString() == "room is locked"; }))
        << status->property("text").toString().toStdString();
    shoot("plan-1024-locked");
    EXPECT_NE(room->findPosition("9292"), nullptr);
    room->findParameter("locked")->setValue(Tessel::Variant(0));
    // Moved after all: the stale reason leaves the status line.
    dragWithMouse(window, centreOf(cell), centreOf(cell, 30, 0));
    EXPECT_TRUE(waitFor([&] { return !status->isVisible(); }))
        << "the refusal outlived a drop that was taken";
    room->findParameter("viewNetwork")->setValue(Tessel::Variant(1));
    EXPECT_TRUE(capturedWarnings().isEmpty()) << capturedWarnings().join("\n").toStdString();
}
