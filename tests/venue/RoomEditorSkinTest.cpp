// The floor plan on screen, offscreen: a speaker dragged with the mouse from the network browser
// onto the plan is placed in the room's first group and winks; dragged off the plan it leaves the
// room again. No QML warning and no unresolved address on the way.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <unistd.h>

#include "app/Roomdesk.h"
#include "roomdesk/views/RoomdeskViews.h"
#include "speaker/SpeakerNetworkItem.h"
#include "speaker/SpeakerNetworkManager.h"
#include "tessel/IParameter.h"
#include "tessel/IWindowManager.h"
#include "tessel/Initializer.h"
#include "tessel/Platform.h"
#include "tessel_qt/QtPlatform.h"
#include "tests/common/QuickTestSupport.h"
#include "tests/common/FakeLibrary.h"
#include "venue/SpeakerGroup.h"
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
    }
    static void TearDownTestSuite()
    {
        qInstallMessageHandler(nullptr);
        Tessel::destroyRootComponent();
        platform.reset();
        library.reset();
        app.reset();
        std::filesystem::remove_all(home);
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
};

} // namespace

TEST_F(RoomEditorSkin, MouseDragFromTheBrowserPlacesTheSpeakerAndDraggingItOffRemovesIt)
{
    Vellaris::Roomdesk::createComponents();
    // The speaker list over the stand-in library, so a speaker appears without a process.
    auto* speakers = new Vellaris::SpeakerNetworkManager(library.get());
    Tessel::getRootComponent()->addChild(speakers);
    Tessel::Application* application = Tessel::Application::getApplication();
    application->initializeApplication();
    ASSERT_TRUE(application->startup());
    ASSERT_EQ(Vellaris::SpeakerNetworkManager::instance(), speakers);
    ASSERT_TRUE(Tessel::GetWindowManager()->openWindow("ApplicationWindow", application, true));
    auto* window = qobject_cast<QQuickWindow*>(platform->findForm("ApplicationWindow"));
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));

    library->setDevice(1, "127.0.0.1", "stage-left", 4001);
    library->announce(1, "TX10A", "SPK", "4242");
    ASSERT_TRUE(waitFor([&] { return speakers->findItemBySerial("4242") != nullptr; }));
    Vellaris::SpeakerNetworkItem* item = speakers->findItemBySerial("4242");

    Vellaris::VenueManager* manager = Vellaris::VenueManager::instance();
    Vellaris::Venue* venue = manager->getVenue();
    manager->findParameter("showVenue")->setValue(Tessel::Variant(1));
    Vellaris::SpeakerRoom* room = venue->getActiveRoom();
    ASSERT_NE(room, nullptr);

    QQuickItem* row = nullptr;
    QQuickItem* plan = nullptr;
    ASSERT_TRUE(waitFor(
        [&]
        {
            row = findBelow(window->contentItem(), "speakerRow0");
            plan = findBelow(window->contentItem(), "roomEditView");
            return row && plan && row->isVisible() && plan->width() > 300 && plan->height() > 300;
        }));

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

    capturedWarnings().removeIf([](const QString& w) { return w.contains("does not support raise"); });
    EXPECT_TRUE(capturedWarnings().isEmpty()) << capturedWarnings().join("\n").toStdString();
    application->shutdown();
}
