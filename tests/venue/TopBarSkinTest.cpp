// The main window with a venue of real size (twelve rooms, 88 placed speakers), offscreen on a
// 1920 × 1080 screen: every top-bar control stays inside the window at the design size and at full
// HD, the active tab is always in view, the window grows from its design size and comes back where
// it was left, the state line shows what holds the room, a mouse-wheel notch is half a decibel,
// and a placed speaker that leaves the network raises the alarm (cell, tab badge, banner) until it
// returns. Speakers come from a stand-in network library, so no process is needed.
#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQuickItem>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <fstream>
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
#include "tessel/UndoHistory.h"
#include "tessel_qt/QtPlatform.h"
#include "tessel_qt/WindowGeometry.h"
#include "tests/common/FakeLibrary.h"
#include "tests/common/LargeVenue.h"
#include "tests/common/QuickTestSupport.h"
#include "venue/ScrollWheelComponent.h"
#include "venue/SpeakerPosition.h"
#include "venue/SpeakerRoom.h"
#include "venue/Venue.h"
#include "venue/VenueManager.h"

namespace
{

using namespace QuickTestSupport;

class TopBarSkin : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        home = usePrivateHome("top-bar-skin-");
        ::setenv("LKNET_DISCOVERY_PORT", std::to_string(40000 + (::getpid() + 23) % 20000).c_str(), 1);
        // One full-HD screen, so both window sizes fit on it.
        const std::string screens = home + "/screens.json";
        std::ofstream(screens) << R"({"windowFrameMargins": false, "screens": [{"name": "hd", "x": 0, "y": 0,
            "width": 1920, "height": 1080, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + screens.c_str());
        static int argc = 1;
        static char name[] = "top_bar_skin_tests";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
        Tessel::runInitializers();
        library = std::make_unique<NetworkTest::FakeLibrary>();
        platform = std::make_unique<Tessel::Qt::QtPlatform>();
        Vellaris::registerRoomdeskViews();
        platform->setSkinUrl(QUrl::fromLocalFile(QStringLiteral(SKIN_DIR "/")));
        Tessel::setModuleIdentifier("roomdesk");
        qInstallMessageHandler(captureMessages);

        Vellaris::Roomdesk::createComponents();
        speakers = new Vellaris::SpeakerNetworkManager(library.get());
        Tessel::getRootComponent()->addChild(speakers);
        application = Tessel::Application::getApplication();
        application->initializeApplication();
        ASSERT_TRUE(application->startup());
        ASSERT_TRUE(Tessel::GetWindowManager()->openWindow("ApplicationWindow", application, true));
        window = qobject_cast<QQuickWindow*>(platform->findForm("ApplicationWindow"));
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));

        Vellaris::VenueManager* manager = Vellaris::VenueManager::instance();
        ASSERT_TRUE(manager->loadVenue(LargeVenue::write(home).string()));
        manager->findParameter("showVenue")->setValue(Tessel::Variant(1));
        venue = manager->getVenue();
        ASSERT_EQ(venue->countRooms(), 12);
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
    void SetUp() override
    {
        ASSERT_NE(window, nullptr);
        capturedWarnings().clear();
    }
    void TearDown() override
    {
        for (int server : servers)
            library->withdraw(server);
        servers.clear();
        QTest::qWait(30);
    }

    static QQuickItem* find(const QString& name) { return findBelow(window->contentItem(), name); }
    static QRectF sceneRect(QQuickItem* item)
    {
        return item->mapRectToScene(QRectF(0, 0, item->width(), item->height()));
    }
    // Whether `item` is shown (it and all its parents visible) and lies wholly inside the window.
    static bool insideWindow(QQuickItem* item)
    {
        if (!item || !item->isVisible() || item->width() <= 0)
            return false;
        return QRectF(0, 0, window->width(), window->height()).contains(sceneRect(item));
    }
    static void resizeTo(int width, int height)
    {
        window->resize(width, height);
        ASSERT_TRUE(waitFor([&] { return window->width() == width && window->height() == height; }));
        QTest::qWait(50);
    }
    static void chooseRoom(int index)
    {
        venue->findParameter("roomList")->setValue(Tessel::Variant(index));
        QTest::qWait(50);
    }
    // A speaker of the venue on the network (its device at 127.0.0.1), once its item exists.
    Vellaris::SpeakerNetworkItem* announce(int server, long long serial)
    {
        const std::string text = std::to_string(serial);
        library->setDevice(server, "127.0.0.1", "stage", uint16_t(4000 + server));
        library->announce(server, "TX10A", "SPK", text.c_str());
        servers.push_back(server);
        EXPECT_TRUE(waitFor([&] { return speakers->findItemBySerial(text) != nullptr; }));
        return speakers->findItemBySerial(text);
    }
    void withdraw(int server, long long serial)
    {
        library->withdraw(server);
        servers.erase(std::remove(servers.begin(), servers.end(), server), servers.end());
        EXPECT_TRUE(waitFor([&] { return speakers->findItemBySerial(std::to_string(serial)) == nullptr; }));
    }
    // The plan's cell showing `serial` (found by what it shows, whatever the plan names its cells).
    static QQuickItem* cellOf(long long serial, QQuickItem* from = nullptr)
    {
        from = from ? from : window->contentItem();
        if (from->property("serial").toString() == QString::number(serial) && findBelow(from, "offlineAlarm"))
            return from;
        for (QQuickItem* child : from->childItems())
            if (QQuickItem* found = cellOf(serial, child))
                return found;
        return nullptr;
    }
    static QString textOf(QQuickItem* item) { return item ? item->property("text").toString() : QString(); }

    static inline std::unique_ptr<QGuiApplication> app;
    static inline std::unique_ptr<NetworkTest::FakeLibrary> library;
    static inline std::unique_ptr<Tessel::Qt::QtPlatform> platform;
    static inline std::string home;
    static inline Tessel::Application* application = nullptr;
    static inline Vellaris::SpeakerNetworkManager* speakers = nullptr; // owned by the root
    static inline QQuickWindow* window = nullptr;
    static inline Vellaris::Venue* venue = nullptr;
    std::vector<int> servers;
};

} // namespace

TEST_F(TopBarSkin, EveryControlStaysInsideTheWindowAndTheActiveTabInViewWithTwelveRooms)
{
    for (const QSize size : {QSize(1024, 748), QSize(1920, 1080)})
    {
        SCOPED_TRACE(std::to_string(size.width()) + "x" + std::to_string(size.height()));
        resizeTo(size.width(), size.height());
        chooseRoom(0);
        for (const char* name :
             {"backToVenues", "roomVolumeDown", "volumeWheel", "roomVolumeUp", "roomMeter", "roomVolumeText",
              "muteAll", "locked", "networkSetup", "newRoom", "stateLine", "roomLabel"})
            EXPECT_TRUE(insideWindow(find(name))) << name << " is not wholly inside the window";

        // The tabs keep to their strip: none reaches under VOL −, each shown one is in the window.
        QQuickItem* strip = find("roomTabs");
        ASSERT_NE(strip, nullptr);
        EXPECT_LE(sceneRect(strip).right(), sceneRect(find("roomVolumeDown")).left());
        ASSERT_NE(find("tabsLeft"), nullptr) << "no scroll arrows";
        const bool scrolling = find("tabsLeft")->isVisible();
        int shown = 0;
        for (int i = 0; i < 12; ++i)
            if (QQuickItem* tab = find("roomTab" + QString::number(i)))
            {
                const QRectF rect = sceneRect(tab);
                EXPECT_GE(tab->width(), 72) << "tab " << i << " is narrower than the smallest tab";
                if (rect.intersects(sceneRect(strip)) && sceneRect(strip).contains(rect))
                    ++shown;
                EXPECT_LE(rect.right(), sceneRect(find("roomVolumeDown")).left() + (scrolling ? 1e6 : 0));
            }
        EXPECT_GE(shown, 2);
        if (size.width() == 1024)
        {
            ASSERT_TRUE(scrolling) << "twelve rooms do not fit 1024 pixels at the smallest tab width";
            EXPECT_TRUE(insideWindow(find("tabsLeft")));
            EXPECT_TRUE(insideWindow(find("tabsRight")));
        }
        else
            EXPECT_EQ(shown, 12) << "at full HD every tab fits";

        // The last room chosen: its tab comes into view, between the arrows.
        chooseRoom(11);
        QQuickItem* last = nullptr;
        ASSERT_TRUE(waitFor([&] { return (last = find("roomTab11")) && last->property("active").toBool(); }));
        ASSERT_TRUE(waitFor([&] { return insideWindow(last); }));
        if (scrolling)
        {
            // Wholly between the arrows (the tabs may still be settling their widths meanwhile).
            EXPECT_TRUE(waitFor(
                [&]
                {
                    return sceneRect(last).left() >= sceneRect(find("tabsLeft")).right() &&
                           sceneRect(last).right() <= sceneRect(find("tabsRight")).left();
                }))
                << find("tabList")->property("contentX").toDouble() << " cw "
                << find("tabList")->property("contentWidth").toDouble() << " ox "
                << find("tabList")->property("originX").toDouble() << " w " << find("tabList")->width()
                << " lastx " << last->x() << " lastw " << last->width() << " | " << sceneRect(last).left()
                << "-" << sceneRect(last).right() << " between " << sceneRect(find("tabsLeft")).right()
                << " and " << sceneRect(find("tabsRight")).left();
            // The wheel over the tabs and the left arrow scroll back towards the first room.
            const QPointF over = sceneRect(last).center();
            const double before = sceneRect(last).left();
            QWheelEvent wheel(over, window->mapToGlobal(over), QPoint(), QPoint(0, 120), ::Qt::NoButton,
                              ::Qt::NoModifier, ::Qt::NoScrollPhase, false);
            QGuiApplication::sendEvent(window, &wheel);
            EXPECT_TRUE(waitFor([&] { return sceneRect(last).left() > before; }))
                << "the wheel did not scroll";
            QQuickItem* left = find("tabsLeft");
            for (int i = 0; i < 12; ++i)
                QTest::mouseClick(window, ::Qt::LeftButton, ::Qt::NoModifier,
                                  sceneRect(left).center().toPoint());
            ASSERT_TRUE(waitFor([&] { return insideWindow(find("roomTab0")); }));
            EXPECT_GE(sceneRect(find("roomTab0")).left(), sceneRect(left).right());
        }
        EXPECT_TRUE(insideWindow(find("networkSetup")));
    }
    resizeTo(1024, 748);
    chooseRoom(0);
    EXPECT_TRUE(capturedWarnings().isEmpty()) << capturedWarnings().join("\n").toStdString();
}

TEST_F(TopBarSkin, TheWindowGrowsFromItsDesignSizeAndComesBackWhereItWasLeft)
{
    EXPECT_EQ(window->minimumSize(), QSize(1024, 748));
    EXPECT_GT(window->maximumWidth(), 1024) << "the window can be made larger";
    EXPECT_GT(window->maximumHeight(), 748);

    // Larger, the floor plan and the inspector column take the room; the browser keeps its width.
    resizeTo(1024, 748);
    QQuickItem* plan = find("venueView");
    ASSERT_NE(plan, nullptr);
    const double planWidth = plan->width();
    const double planHeight = plan->height();
    resizeTo(1920, 1080);
    EXPECT_GT(plan->width(), planWidth + 400);
    EXPECT_GT(plan->height(), planHeight + 300);

    // The geometry is written when the window moves or is resized, and a new window takes it.
    window->setGeometry(QRect(40, 30, 1300, 900));
    const QString settings = Tessel::Qt::WindowGeometry::settingsPath();
    ASSERT_FALSE(settings.isEmpty());
    ASSERT_TRUE(waitFor(
        [&]
        {
            QFile file(settings);
            if (!file.open(QIODevice::ReadOnly))
                return false;
            const QJsonObject stored = QJsonDocument::fromJson(file.readAll())
                                           .object()["windows"]
                                           .toObject()["ApplicationWindow"]
                                           .toObject();
            return stored["width"].toInt() == 1300 && stored["height"].toInt() == 900;
        }))
        << "no geometry written to " << settings.toStdString();

    auto openAnother = [&]
    {
        QQmlComponent component(platform->getEngine());
        component.setData(
            "import QtQuick\nimport Tessel 1.0\n"
            "Window { id: another; width: 1024; height: 748; minimumWidth: 1024; minimumHeight: 748\n"
            "  WindowGeometry { id: geometry; objectName: \"geometry\" }\n"
            "  Component.onCompleted: geometry.window = another }",
            QUrl(QStringLiteral("memory:/another.qml")));
        (void)QTest::qWaitFor([&] { return !component.isLoading(); }, 10000);
        std::unique_ptr<QObject> made(component.create());
        EXPECT_NE(made, nullptr) << component.errorString().toStdString();
        return std::unique_ptr<QWindow>(qobject_cast<QWindow*>(made.release()));
    };
    {
        std::unique_ptr<QWindow> another = openAnother();
        ASSERT_NE(another, nullptr);
        EXPECT_EQ(another->geometry(), QRect(40, 30, 1300, 900)) << "the stored geometry did not come back";
    }

    // A stored geometry that no longer fits the screen (a screen that went away) is not taken.
    QFile file(settings);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(
        R"({"keep": 1, "windows": {"ApplicationWindow": {"x": 2200, "y": 40, "width": 1300, "height": 900}}})");
    file.close();
    {
        std::unique_ptr<QWindow> another = openAnother();
        ASSERT_NE(another, nullptr);
        EXPECT_EQ(another->size(), QSize(1024, 748));
        EXPECT_TRUE(QRect(0, 0, 1920, 1080).contains(another->geometry()));
        auto* geometry = another->findChild<QObject*>("geometry");
        ASSERT_NE(geometry, nullptr);
        EXPECT_FALSE(geometry->property("restored").toBool());
        ASSERT_TRUE(QMetaObject::invokeMethod(geometry, "save"));
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QJsonDocument::fromJson(file.readAll()).object()["keep"].toInt(), 1)
        << "the other settings of the file are kept";
    file.close();

    EXPECT_TRUE(Tessel::Qt::WindowGeometry::fitsOnAScreen(QRect(0, 0, 1024, 748), QSize(1024, 748),
                                                          {QRect(0, 0, 1920, 1080)}));
    EXPECT_FALSE(Tessel::Qt::WindowGeometry::fitsOnAScreen(QRect(0, 0, 800, 600), QSize(1024, 748),
                                                           {QRect(0, 0, 1920, 1080)}))
        << "smaller than the design size";
    EXPECT_FALSE(Tessel::Qt::WindowGeometry::fitsOnAScreen(
        QRect(1000, 0, 1024, 748), QSize(1024, 748), {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)}))
        << "across two screens";
    resizeTo(1024, 748);
}

TEST_F(TopBarSkin, TheStateLineShowsSoloLockedAndMutedAllAndTheWheelNotchIsHalfADecibel)
{
    chooseRoom(0);
    Vellaris::SpeakerRoom* room = venue->getActiveRoom();
    Vellaris::SpeakerNetworkItem* first = announce(1, LargeVenue::kFirstSerial);
    Vellaris::SpeakerNetworkItem* second = announce(2, LargeVenue::kFirstSerial + 1);
    ASSERT_TRUE(first && second);
    ASSERT_TRUE(waitFor([&] { return room->speakerCount() == 2; }));
    QQuickItem* solo = find("stateSolo");
    QQuickItem* locked = find("stateLocked");
    QQuickItem* mutedAll = find("stateMutedAll");
    ASSERT_TRUE(solo && locked && mutedAll);
    EXPECT_FALSE(solo->isVisible());
    EXPECT_FALSE(mutedAll->isVisible());

    // SOLO names the speaker.
    Tessel::IParameter* soloParam =
        Tessel::getRootComponent()->lookupParameter(second->getComponentPath() + "/component/solo");
    ASSERT_NE(soloParam, nullptr);
    soloParam->setValue(Tessel::Variant(1), true);
    ASSERT_TRUE(waitFor([&] { return solo->isVisible(); }));
    EXPECT_TRUE(textOf(solo).contains(QString::number(LargeVenue::kFirstSerial + 1)))
        << textOf(solo).toStdString();
    EXPECT_TRUE(insideWindow(solo));
    // Undone, the solo leaves the line as well (the undo sets "solo" itself, past the room).
    ASSERT_TRUE(Tessel::GetUndoHistory()->undo());
    EXPECT_TRUE(waitFor([&] { return !solo->isVisible(); })) << "SOLO stays after its undo";
    ASSERT_TRUE(Tessel::GetUndoHistory()->redo());
    EXPECT_TRUE(waitFor([&] { return solo->isVisible(); }));

    // MUTE ALL ends the solo and shows itself; LOCK (the browser hidden) too.
    room->findParameter("muteAll")->setValue(Tessel::Variant(1), true);
    EXPECT_TRUE(waitFor([&] { return mutedAll->isVisible() && !solo->isVisible(); }));
    room->findParameter("viewNetwork")->setValue(Tessel::Variant(0), true);
    room->findParameter("locked")->setValue(Tessel::Variant(1), true);
    EXPECT_TRUE(waitFor([&] { return locked->isVisible(); }));
    EXPECT_TRUE(insideWindow(locked) && insideWindow(mutedAll));
    room->findParameter("locked")->setValue(Tessel::Variant(0), true);
    room->findParameter("muteAll")->setValue(Tessel::Variant(0), true);
    room->findParameter("viewNetwork")->setValue(Tessel::Variant(1), true);
    EXPECT_TRUE(waitFor([&] { return !locked->isVisible() && !mutedAll->isVisible(); }));

    // The loudest speaker's level as a number beside the bar.
    EXPECT_TRUE(waitFor([&] { return textOf(find("roomVolumeText")).contains("dB"); }))
        << textOf(find("roomVolumeText")).toStdString();

    // One notch of the mouse wheel on the volume wheel: half a decibel, up is louder.
    Tessel::IParameter* elastic =
        Tessel::getRootComponent()->lookupParameter(first->getComponentPath() + "/component/elastic");
    ASSERT_NE(elastic, nullptr);
    elastic->setValue(Tessel::Variant(-10.0), true);
    const double before = elastic->getValue().asDouble();
    QQuickItem* wheelItem = find("volumeWheel");
    const QPointF over = sceneRect(wheelItem).center();
    auto notch = [&](int delta)
    {
        QWheelEvent wheel(over, window->mapToGlobal(over), QPoint(), QPoint(0, delta), ::Qt::NoButton,
                          ::Qt::NoModifier, ::Qt::NoScrollPhase, false);
        QGuiApplication::sendEvent(window, &wheel);
    };
    notch(120);
    EXPECT_TRUE(waitFor([&] { return elastic->getValue().asDouble() != before; }));
    EXPECT_NEAR(elastic->getValue().asDouble() - before, 0.5, 1e-6);
    notch(-120);
    notch(-120);
    EXPECT_TRUE(waitFor([&] { return std::abs(elastic->getValue().asDouble() - (before - 0.5)) < 1e-6; }))
        << elastic->getValue().asDouble();
    EXPECT_TRUE(capturedWarnings().isEmpty()) << capturedWarnings().join("\n").toStdString();
}

TEST_F(TopBarSkin, APlacedSpeakerThatLeavesRaisesTheAlarmUntilItReturns)
{
    // The venue opened anew: speakers that left before are no alarm any more.
    Vellaris::VenueManager* manager = Vellaris::VenueManager::instance();
    ASSERT_TRUE(manager->loadVenue(LargeVenue::write(home).string()));
    manager->findParameter("showVenue")->setValue(Tessel::Variant(1));
    venue = manager->getVenue();
    chooseRoom(0);
    const long long serial = LargeVenue::kFirstSerial + 2;
    ASSERT_NE(announce(3, serial), nullptr);
    // The plan may make its cells anew on any change of the room: each look finds the cell again.
    auto alarmOf = [&](long long shown) -> QQuickItem*
    {
        QQuickItem* cell = cellOf(shown);
        return cell ? findBelow(cell, "offlineAlarm") : nullptr;
    };
    auto alarmShown = [&] { return alarmOf(serial) && alarmOf(serial)->isVisible(); };
    ASSERT_TRUE(waitFor([&] { return alarmOf(serial) != nullptr; }));
    QQuickItem* banner = find("offlineBanner");
    ASSERT_NE(banner, nullptr);
    QQuickItem* tab = find("roomTab0");
    EXPECT_FALSE(alarmShown());
    EXPECT_FALSE(findBelow(tab, "offlineBadge")->isVisible());
    EXPECT_FALSE(banner->isVisible());
    ASSERT_NE(alarmOf(LargeVenue::kFirstSerial + 10), nullptr);
    EXPECT_FALSE(alarmOf(LargeVenue::kFirstSerial + 10)->isVisible()) << "a speaker never seen is no alarm";

    // It leaves: the cell turns red with the time, the tab counts it, the banner names it.
    withdraw(3, serial);
    ASSERT_TRUE(waitFor(alarmShown));
    const QRegularExpression since(QStringLiteral("^Offline since \\d\\d:\\d\\d:\\d\\d$"));
    const QString alarmText = textOf(findBelow(alarmOf(serial), "offlineAlarmText"));
    EXPECT_TRUE(since.match(alarmText).hasMatch()) << alarmText.toStdString();
    EXPECT_TRUE(findBelow(tab, "offlineBadge")->isVisible());
    EXPECT_EQ(textOf(findBelow(tab, "offlineBadgeText")), QStringLiteral("1"));
    EXPECT_TRUE(banner->isVisible());
    const QString named = textOf(find("offlineBannerText"));
    EXPECT_TRUE(named.contains(QString::number(serial)) && named.contains("Main Hall") &&
                named.contains("offline"))
        << named.toStdString();
    EXPECT_TRUE(find("stateOffline")->isVisible());
    Tessel::Variant count;
    ASSERT_TRUE(venue->getProperty("offlineCount", count));
    EXPECT_EQ(count.asInt(), 1);

    // It returns: the alarm clears and the banner says so.
    ASSERT_NE(announce(3, serial), nullptr);
    EXPECT_TRUE(waitFor([&] { return alarmOf(serial) && !alarmShown(); }));
    EXPECT_FALSE(findBelow(tab, "offlineBadge")->isVisible());
    EXPECT_TRUE(waitFor([&] { return textOf(find("offlineBannerText")).endsWith("back online"); }))
        << textOf(find("offlineBannerText")).toStdString();
    EXPECT_FALSE(find("stateOffline")->isVisible());
    EXPECT_TRUE(capturedWarnings().isEmpty()) << capturedWarnings().join("\n").toStdString();
}
