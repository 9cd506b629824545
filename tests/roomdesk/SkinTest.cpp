// The skin and the QML bridge, offscreen: every form loads without a QML warning, bindings follow
// parameters and properties both ways, unresolved addresses are reported.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
#include <QSignalSpy>
#include <QStyleHints>
#include <QTest>
#include <QWindow>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/Roomdesk.h"
#include "mirror/ItemListModel.h"
#include "roomdesk/views/ItemListModel.h"
#include "roomdesk/views/MeterBarItem.h"
#include "roomdesk/views/RoomdeskViews.h"
#include "tessel/Application.h"
#include "tessel/CommandMsg.h"
#include "tessel/Component.h"
#include "tessel/IParameter.h"
#include "tessel/IWindowManager.h"
#include "tessel/ListParam.h"
#include "tessel/Parameter.h"
#include "tessel/Platform.h"
#include "tessel/TextVariables.h"
#include "tessel/UndoHistory.h"
#include "tessel_qt/QtPlatform.h"
#include "tessel_qt/SkinContext.h"
#include "tests/common/QuickTestSupport.h"

namespace
{

using namespace QuickTestSupport;

// One Qt application and platform for the whole test program.
class SkinEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        setenv("LKNET_LOOPBACK_ONLY", "1", 1);
        std::string port = std::to_string(40000 + (getpid() + 7) % 20000);
        setenv("LKNET_DISCOVERY_PORT", port.c_str(), 1);
        // No remote control: parallel tests would all want UDP port 9000.
        setenv("ROOMDESK_OSC_PORT", "0", 1);
        // No stored window geometry of the user's: the main window opens at its design size.
        const std::string config = "/tmp/skin-tests-config-" + std::to_string(getpid());
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        static int argc = 1;
        static char name[] = "skin_tests";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
        // Drawn as roomdesk draws without a GPU, so windows can be photographed offscreen.
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
        platform = std::make_unique<Tessel::Qt::QtPlatform>();
        Vellaris::registerRoomdeskViews();
        platform->setSkinUrl(QUrl::fromLocalFile(QStringLiteral(SKIN_DIR "/")));
        Tessel::setModuleIdentifier("roomdesk");
        qInstallMessageHandler(captureMessages);
    }
    void TearDown() override
    {
        qInstallMessageHandler(nullptr);
        Tessel::destroyRootComponent();
        platform.reset();
        app.reset();
        std::error_code ignored;
        std::filesystem::remove_all("/tmp/skin-tests-config-" + std::to_string(getpid()), ignored);
    }

    static inline std::unique_ptr<QGuiApplication> app;
    static inline std::unique_ptr<Tessel::Qt::QtPlatform> platform;
};

const auto* environment = ::testing::AddGlobalTestEnvironment(new SkinEnvironment);

Tessel::Qt::QtPlatform& platform()
{
    return *SkinEnvironment::platform;
}

// Creates a QML object from `source` (with the Tessel import) in the platform's engine.
std::unique_ptr<QObject> makeQml(const QString& source)
{
    QQmlComponent component(platform().getEngine());
    component.setData(("import QtQuick\nimport Tessel 1.0\n" + source).toUtf8(),
                      QUrl(QStringLiteral("memory:/t.qml")));
    // Imports may load in the background while another form is still settling.
    (void)QTest::qWaitFor([&] { return !component.isLoading(); }, 10000);
    std::unique_ptr<QObject> object(component.create());
    if (!object)
        ADD_FAILURE() << "status " << int(component.status()) << ": "
                      << component.errorString().toStdString();
    return object;
}

class Skin : public ::testing::Test
{
protected:
    void SetUp() override { capturedWarnings().clear(); }
    void TearDown() override
    {
        // Leave no test component behind for the next test, whatever failed.
        for (const char* name :
             {"BridgeTest", "ListTest", "MeterTest", "SpeakerNetwork", "GestureTest", "MenuTest", "UndoTest"})
            while (Tessel::Component* stale = Tessel::getRootComponent()->findChild(name))
                Tessel::getRootComponent()->removeChild(stale);
        QCoreApplication::processEvents();
    }
};

// A component with a few parameters and a property, below the root as "BridgeTest".
class BridgeComponent : public Tessel::Component
{
public:
    BridgeComponent() : Tessel::Component("BridgeTest")
    {
        level = getParams().addFloat(-10, 10, "level", 1);
        getParams().addList("mode", 2);
    }
    bool getProperty(const std::string& name, Tessel::Variant& value) const override
    {
        if (name == "hasItems")
        {
            value = Tessel::Variant(hasItems);
            return true;
        }
        return Tessel::Component::getProperty(name, value);
    }
    Tessel::Parameter* level;
    bool hasItems = false;
};

TEST_F(Skin, MainWindowAndAboutFormLoadWithoutWarningsAndEscapeClosesAbout)
{
    Vellaris::Roomdesk::createComponents();
    Tessel::Application* application = Tessel::Application::getApplication();
    application->initializeApplication();
    ASSERT_TRUE(application->startup());
    platform().getSkinContext()->setMenuSource(
        []
        {
            QVariantList menus;
            for (const Tessel::Menu& menu : Tessel::Application::getApplication()->getMenuBar().getMenus())
                menus.append(
                    QVariantMap{{"title", QString::fromStdString(menu.title)}, {"items", QVariantList()}});
            return menus;
        });

    Tessel::IWindowManager* windows = Tessel::GetWindowManager();
    ASSERT_TRUE(windows->openWindow("ApplicationWindow", application, true));
    QWindow* main = platform().findForm("ApplicationWindow");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->width(), 1024);
    EXPECT_EQ(main->height(), 748);
    EXPECT_EQ(main->title(), QStringLiteral("Ambrel"));

    // "About" through the command, as the menu sends it.
    EXPECT_TRUE(Tessel::Qt::SkinContext::routeCommand("Help", "About", false));
    QWindow* about = platform().findForm("AboutApplication");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->title(), QStringLiteral("About Ambrel"));
    // Opening it again raises the same window.
    EXPECT_TRUE(windows->openWindow("AboutApplication", application, true));
    EXPECT_EQ(platform().findForm("AboutApplication"), about);
    // Escape closes it, as CLOSE does.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(about));
    QTest::keyClick(about, Qt::Key_Escape);
    EXPECT_TRUE(waitFor([&] { return !about->isVisible(); })) << "Escape left the About box open";
    EXPECT_TRUE(windows->openWindow("AboutApplication", application, true));
    EXPECT_TRUE(waitFor([&] { return about->isVisible(); })) << "it opens again";

    // The offscreen platform cannot raise windows; that is no fault of the skin.
    capturedWarnings().removeIf([](const QString& w) { return w.contains("does not support raise"); });
    EXPECT_TRUE(capturedWarnings().isEmpty()) << capturedWarnings().join("\n").toStdString();

    EXPECT_FALSE(windows->openWindow("NoSuchForm", application, true));

    about->close();
    application->shutdown();
}

TEST_F(Skin, ParamFollowsTheParameterBothWays)
{
    auto* component = new BridgeComponent;
    Tessel::getRootComponent()->addChild(component);
    auto binding = makeQml("Param { address: \"://roomdesk/BridgeTest/level\" }");
    ASSERT_TRUE(binding);
    EXPECT_TRUE(binding->property("valid").toBool());
    EXPECT_EQ(binding->property("name").toString(), "level");

    QSignalSpy changes(binding.get(), SIGNAL(changed()));

    // The parameter moves: the binding follows.
    component->level->setValue(Tessel::Variant(5.0), true);
    EXPECT_GE(changes.count(), 1);
    EXPECT_DOUBLE_EQ(binding->property("normalized").toDouble(), 0.75);
    EXPECT_DOUBLE_EQ(binding->property("value").toDouble(), 5.0);

    // The view moves: the parameter follows.
    binding->setProperty("normalized", 0.25);
    EXPECT_DOUBLE_EQ(component->level->getValue().asDouble(), -5.0);

    // Edit gestures set and clear the being-edited flag.
    QMetaObject::invokeMethod(binding.get(), "beginEdit");
    EXPECT_TRUE(component->level->isFlag(Tessel::ParamFlags::kEditing));
    QMetaObject::invokeMethod(binding.get(), "endEdit");
    EXPECT_FALSE(component->level->isFlag(Tessel::ParamFlags::kEditing));

    // Back to the default.
    QMetaObject::invokeMethod(binding.get(), "reset");
    EXPECT_DOUBLE_EQ(component->level->getValue().asDouble(), component->level->getDefaultValue().asDouble());
    EXPECT_TRUE(capturedWarnings().isEmpty()) << capturedWarnings().join("\n").toStdString();
    binding.reset();
    Tessel::getRootComponent()->removeChild(component);
}

TEST_F(Skin, PropRefreshesOnPropertyChanged)
{
    auto* component = new BridgeComponent;
    Tessel::getRootComponent()->addChild(component);
    auto binding = makeQml("Prop { address: \"://roomdesk/BridgeTest/hasItems\" }");
    ASSERT_TRUE(binding);
    EXPECT_TRUE(binding->property("valid").toBool());
    EXPECT_EQ(binding->property("value").toInt(), 0);
    component->hasItems = true;
    EXPECT_EQ(binding->property("value").toInt(), 0); // not yet signalled
    component->propertyChanged("hasItems");
    EXPECT_EQ(binding->property("value").toInt(), 1);
    binding.reset();
    Tessel::getRootComponent()->removeChild(component);
}

TEST_F(Skin, RelativeAddressesResolveBelowTheirBase)
{
    auto* component = new BridgeComponent;
    Tessel::getRootComponent()->addChild(component);
    auto binding = makeQml("Param { base: \"://roomdesk/BridgeTest\"; address: \"mode\" }");
    ASSERT_TRUE(binding);
    EXPECT_TRUE(binding->property("valid").toBool());
    EXPECT_EQ(binding->property("name").toString(), "mode");
    binding.reset();
    Tessel::getRootComponent()->removeChild(component);
}

TEST_F(Skin, UnresolvedAddressIsAWarning)
{
    auto binding = makeQml("Param { address: \"://roomdesk/Nowhere/volume\" }");
    ASSERT_TRUE(binding);
    EXPECT_FALSE(binding->property("valid").toBool());
    ASSERT_EQ(capturedWarnings().size(), 1);
    EXPECT_TRUE(capturedWarnings()[0].contains("Unresolved skin address"))
        << capturedWarnings()[0].toStdString();
    EXPECT_TRUE(capturedWarnings()[0].contains("Nowhere/volume"));
}

// A list of two rows below the root as "ListTest", recording the gestures it is given.
class FakeList : public Tessel::Component, public Vellaris::IItemListModel
{
public:
    explicit FakeList(const char* name = "ListTest") : Tessel::Component(name) {}
    void* queryInterface(const Tessel::UID& iid) override
    {
        TESSEL_QUERY_INTERFACE(Vellaris::IItemListModel)
        return Component::queryInterface(iid);
    }
    int retain() override { return Component::retain(); }
    int release() override { return Component::release(); }
    int countRows() const override { return rows; }
    Tessel::Component* getRowItem(const Tessel::Variant&) const override { return nullptr; }
    std::string getRowPath(int row) const override { return "ListTest/item" + std::to_string(row); }
    std::string getRowIcon(int row) const override { return "SpeakerIcon:TX10A"; }
    bool openRow(int row) override
    {
        opened = row;
        return true;
    }
    bool clickRow(int row, const Vellaris::ItemClickEvent& event) override
    {
        clicked = row;
        clickModifiers = event.modifiers;
        return true;
    }
    Tessel::IUnknown* dragRow(int) override { return nullptr; }
    void collectItems(std::vector<Tessel::SharedPtr<Tessel::Component>>&,
                      const Vellaris::IObjectFilter*) const override
    {
    }

    int rows = 2;
    int opened = -1;
    int clicked = -1;
    int clickModifiers = -1;
};

TEST_F(Skin, ItemListShowsTheRowsAndPassesGesturesOn)
{
    auto* list = new FakeList;
    Tessel::getRootComponent()->addChild(list);
    Vellaris::ItemListModel model;
    model.setAddress("://roomdesk/ListTest");
    ASSERT_TRUE(model.valid());
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.data(model.index(1), Vellaris::ItemListModel::PathRole).toString(), "ListTest/item1");
    EXPECT_EQ(model.data(model.index(0), Vellaris::ItemListModel::IconRole).toString(), "SpeakerIcon:TX10A");

    EXPECT_TRUE(model.click(1, true));
    EXPECT_EQ(list->clicked, 1);
    EXPECT_EQ(list->clickModifiers, Vellaris::ItemClickEvent::kModifierExtend);
    EXPECT_TRUE(model.open(0));
    EXPECT_EQ(list->opened, 0);
    EXPECT_EQ(model.indexOfPath("ListTest/item1"), 1);
    EXPECT_EQ(model.indexOfPath("ListTest/item9"), -1);

    // Changes reach the view on the next turn of the loop, several of them as one reload.
    QSignalSpy counts(&model, &Vellaris::ItemListModel::countChanged);
    list->rows = 3;
    list->signal(Tessel::Message(Tessel::Messages::kChanged));
    list->signal(Tessel::Message(Tessel::Messages::kChanged));
    EXPECT_EQ(counts.count(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return counts.count() > 0; }, 5000));
    EXPECT_EQ(counts.count(), 1);
    EXPECT_EQ(model.rowCount(), 3);

    model.setAddress("://roomdesk/Nowhere");
    EXPECT_FALSE(model.valid());
    EXPECT_EQ(model.rowCount(), 0);
    Tessel::getRootComponent()->removeChild(list);
}

// A speaker-like component whose "MeterDisplay0" view (also given as its gain reduction,
// "ReductionDisplay0") the test moves by hand.
class MeterComponent : public Tessel::Component
{
public:
    MeterComponent() : Tessel::Component("MeterTest") {}
    Tessel::Object* createView(const std::string& viewName, const Tessel::Attributes& arguments) override
    {
        if (viewName != "MeterDisplay0" && viewName != "ReductionDisplay0")
            return Tessel::Component::createView(viewName, arguments);
        view->retain();
        return view.get();
    }
    using Tessel::Component::createView;
    // Moves the meter and tells its observers, as the ballistics do on an idle turn.
    void move(double level, double peak)
    {
        view->level = level;
        view->peak = peak;
        view->signal(Tessel::Message(Tessel::Messages::kChanged));
    }

    struct View : Tessel::Object
    {
        double level = 0;
        double peak = 0;
        bool getProperty(const std::string& name, Tessel::Variant& value) const override
        {
            if (name == "level" || name == "peak")
            {
                value = Tessel::Variant(name == "level" ? level : peak);
                return true;
            }
            return false;
        }
    };
    Tessel::SharedPtr<View> view = Tessel::adopt(new View);
};

TEST(MeterPixels, LevelAndPeakRoundToWholeDevicePixels)
{
    // 100 px of scale inside the 1 px border.
    EXPECT_EQ(Vellaris::meterPixels(102, 1, 0.5, -1, false), (Vellaris::MeterPixels{50, -1, false}));
    EXPECT_EQ(Vellaris::meterPixels(102, 1, 0.504, -1, false), Vellaris::meterPixels(102, 1, 0.5, -1, false));
    EXPECT_EQ(Vellaris::meterPixels(102, 2, 0.5, -1, false).fill, 100);
    EXPECT_EQ(Vellaris::meterPixels(102, 1, 1.7, -1, false).fill, 100); // clamped to the scale
    EXPECT_EQ(Vellaris::meterPixels(102, 1, -0.2, -1, false).fill, 0);
    // The peak line's top: 1 px below the border at full scale, 2 px above the bottom at none.
    EXPECT_EQ(Vellaris::meterPixels(102, 1, 0, 1, false), (Vellaris::MeterPixels{0, 1, true}));
    EXPECT_EQ(Vellaris::meterPixels(102, 1, 0, 0, false).peak, 99);
    EXPECT_FALSE(Vellaris::meterPixels(102, 1, 0, 0.9, false).peakHot);
    // A gain-reduction meter hangs from the top and holds no peak.
    EXPECT_EQ(Vellaris::meterPixels(102, 1, 0.25, 0.9, true), (Vellaris::MeterPixels{25, -1, false}));
}

TEST_F(Skin, MeterBarRedrawsOnlyWhenItsPixelsMove)
{
    auto* speaker = new MeterComponent;
    Tessel::getRootComponent()->addChild(speaker);
    speaker->view->level = 0.5;
    auto meter = makeQml("import Roomdesk 1.0\n"
                         "MeterBarItem { width: 12; height: 102; speaker: \"MeterTest\"; index: 0 }");
    ASSERT_TRUE(meter);
    EXPECT_TRUE(meter->property("valid").toBool());
    EXPECT_EQ(meter->property("drawnFill").toInt(), 50);
    EXPECT_EQ(meter->property("drawnPeak").toInt(), 99);

    QSignalSpy drawn(meter.get(), SIGNAL(drawnChanged()));
    speaker->move(0.503, 0.004); // less than a pixel
    EXPECT_EQ(drawn.count(), 0);
    speaker->move(0.52, 0.6);
    EXPECT_EQ(drawn.count(), 1);
    EXPECT_EQ(meter->property("drawnFill").toInt(), 52);
    EXPECT_EQ(meter->property("drawnPeak").toInt(), 40);
    // A level reported besides the meter frames is shown at least.
    meter->setProperty("floor", 0.8);
    EXPECT_EQ(meter->property("drawnFill").toInt(), 80);
    speaker->move(0.9, 0.95);
    EXPECT_EQ(meter->property("drawnFill").toInt(), 90);

    meter->setProperty("reduction", true);
    EXPECT_EQ(meter->property("drawnPeak").toInt(), -1);
    meter->setProperty("index", 3); // a view the component does not make
    EXPECT_FALSE(meter->property("valid").toBool());
    EXPECT_EQ(meter->property("drawnFill").toInt(), 80); // only the floor is left
    EXPECT_TRUE(capturedWarnings().isEmpty()) << capturedWarnings().join("\n").toStdString();
    meter.reset();
    Tessel::getRootComponent()->removeChild(speaker);
}

TEST_F(Skin, MeterBarShowsTheColourZonesUpToTheLevelAndReductionFromTheTop)
{
    auto* speaker = new MeterComponent;
    Tessel::getRootComponent()->addChild(speaker);
    speaker->view->level = 1.0;
    speaker->view->peak = 0.5;
    auto window = makeQml("import QtQuick.Window\nimport Roomdesk 1.0\nimport \"file://" SKIN_DIR "\"\n"
                          "Window { width: 40; height: 122; visible: true; color: \"black\"\n"
                          "  MeterBar { x: 0; width: 12; height: 122; speaker: \"MeterTest\"; index: 0 }\n"
                          "  MeterBar { x: 20; width: 12; height: 122; speaker: \"MeterTest\"; index: 0;"
                          " reduction: true } }");
    ASSERT_TRUE(window);
    auto* quick = qobject_cast<QQuickWindow*>(window.get());
    ASSERT_TRUE(quick);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(quick));
    const QColor dark(0x0e, 0x0f, 0x11), good(0x4c, 0xd9, 0x64), warning(0xff, 0xb0, 0x20),
        error(0xff, 0x3b, 0x30), text(0xe6, 0xe6, 0xe6);
    QImage image;
    auto drawn = [&](int x, int y, const QColor& color)
    {
        return QTest::qWaitFor(
            [&]
            {
                image = quick->grabWindow();
                return !image.isNull() && image.pixelColor(x, y) == color;
            },
            20000); // generous: a loaded machine draws late, never wrongly
    };
    // A scale from 0 to -60 dB over 122 px: red above -3 dB (y < 6), amber to -12 dB (y < 24),
    // green below; the peak line at half the 118 px of its travel.
    ASSERT_TRUE(drawn(6, 100, good));
    EXPECT_EQ(image.pixelColor(6, 3), error);
    EXPECT_EQ(image.pixelColor(6, 15), warning);
    EXPECT_EQ(image.pixelColor(6, 61), text);
    // The reduction meter beside it: amber all the way down from the top.
    EXPECT_EQ(image.pixelColor(26, 5), warning);
    EXPECT_EQ(image.pixelColor(26, 118), warning);

    // A quarter of the scale: the level's top and the reduction's bottom at 30 px.
    speaker->move(0.25, 0.5);
    ASSERT_TRUE(drawn(26, 60, dark));
    EXPECT_EQ(image.pixelColor(26, 20), warning);
    EXPECT_EQ(image.pixelColor(6, 20), dark);
    EXPECT_EQ(image.pixelColor(6, 61), text);
    EXPECT_EQ(image.pixelColor(6, 110), good);
    window.reset();
    Tessel::getRootComponent()->removeChild(speaker);
}

// The items named "<prefix>…" at or below `item`.
int countBelow(QQuickItem* item, const QString& prefix)
{
    int count = item->objectName().startsWith(prefix) ? 1 : 0;
    for (QQuickItem* child : item->childItems())
        count += countBelow(child, prefix);
    return count;
}

TEST_F(Skin, TheNetworkBrowserMakesRowsOnlyForTheSpeakersInView)
{
    auto* network = new Tessel::Component("SpeakerNetwork");
    auto* speakers = new FakeList("NetworkList");
    speakers->rows = 256;
    network->addChild(speakers);
    Tessel::getRootComponent()->addChild(network);
    auto window = makeQml("import QtQuick.Window\nimport \"file://" SKIN_DIR "\"\n"
                          "Window { width: 260; height: 700; visible: true\n"
                          "  NetworkBrowser { anchors.fill: parent } }");
    ASSERT_TRUE(window);
    auto* quick = qobject_cast<QQuickWindow*>(window.get());
    ASSERT_TRUE(quick);
    ASSERT_TRUE(waitFor([&] { return findBelow(quick->contentItem(), "speakerRow0") != nullptr; }))
        << capturedWarnings().join("\n").toStdString();
    // About ten rows fit; the list keeps a few more around them, never one per speaker.
    EXPECT_TRUE(waitFor([&] { return countBelow(quick->contentItem(), "speakerRow") >= 8; }, 2000));
    EXPECT_LE(countBelow(quick->contentItem(), "speakerRow"), 40);
    auto* list =
        qobject_cast<QQuickItem*>(findBelow(quick->contentItem(), "speakerRow0")->parentItem()->parentItem());
    ASSERT_TRUE(list);
    QMetaObject::invokeMethod(list, "positionViewAtEnd");
    ASSERT_TRUE(waitFor([&] { return findBelow(quick->contentItem(), "speakerRow255") != nullptr; }));
    // Rows scrolled far out of view are let go (the list keeps only its current row, the first).
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return findBelow(quick->contentItem(), "speakerRow5") == nullptr; }, 2000));
    EXPECT_LE(countBelow(quick->contentItem(), "speakerRow"), 40);
    // The rows' own parameters are not there in this fake; only the rows count here.
    capturedWarnings().clear();
    window.reset();
    Tessel::getRootComponent()->removeChild(network);
}

TEST_F(Skin, MeterMovesWithinAScreenFrameAreDrawnOnceAtTheirNewest)
{
    auto* speaker = new MeterComponent;
    Tessel::getRootComponent()->addChild(speaker);
    auto window =
        makeQml("import QtQuick.Window\nimport Roomdesk 1.0\n"
                "Window { width: 20; height: 102; visible: true; color: \"black\"\n"
                "  MeterBarItem { objectName: \"bar\"; width: 12; height: 102; speaker: \"MeterTest\" } }");
    ASSERT_TRUE(window);
    auto* quick = qobject_cast<QQuickWindow*>(window.get());
    ASSERT_TRUE(quick);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(quick));
    QSignalSpy frames(quick, &QQuickWindow::frameSwapped);
    speaker->move(0.1, 0);
    ASSERT_TRUE(frames.wait(2000));
    QTest::qWait(100); // the frame of that move is over
    frames.clear();
    // A move every few ms for a while: drawn at most once per frame of the screen, the first at
    // once, the others at the end of their frame.
    const double rate = quick->screen()->refreshRate();
    const double period = 1000.0 / (rate >= 10 && rate <= 500 ? rate : 60.0);
    const int askedBefore = findBelow(quick->contentItem(), "bar")->property("frameRequests").toInt();
    QElapsedTimer clock;
    clock.start();
    for (int i = 1; i <= 20; ++i)
    {
        speaker->move(i % 2 ? 0.3 : 0.2, 0);
        QTest::qWait(3);
    }
    speaker->move(0.6, 0);
    QTest::qWait(100);
    auto* bar = findBelow(quick->contentItem(), "bar");
    ASSERT_TRUE(bar);
    const int asked = bar->property("frameRequests").toInt() - askedBefore;
    EXPECT_GE(asked, 2);
    EXPECT_LE(asked, int(clock.elapsed() / period) + 2) << asked << " frames in " << clock.elapsed() << " ms";
    EXPECT_GE(frames.count(), 1);
    const QImage image = quick->grabWindow();
    // The newest level, 60 of the 100 px, is what stays on the screen.
    EXPECT_EQ(image.pixelColor(6, 45), QColor(0x4c, 0xd9, 0x64));
    EXPECT_EQ(image.pixelColor(6, 38), QColor(0, 0, 0));
    window.reset();
    Tessel::getRootComponent()->removeChild(speaker);
}

// A toggle and a list below the root as "GestureTest", noting for every change whether the user
// held the control (an edit gesture was open), as the speaker's mute rule asks.
class GestureComponent : public Tessel::Component
{
public:
    GestureComponent() : Tessel::Component("GestureTest")
    {
        getParams().addParam("mute", 1);
        getParams().addList("mode", 2)->setEntries({"Low", "Mid", "High"});
    }
    void paramChanged(Tessel::IParameter* param) override
    {
        changes.push_back(
            {param->getName(), param->getValue().asInt(), param->isFlag(Tessel::ParamFlags::kEditing)});
    }
    struct Change
    {
        std::string name;
        int64_t value;
        bool editing;
    };
    std::vector<Change> changes;
};

void clickItem(QQuickWindow* window, QQuickItem* item, Qt::MouseButton button = Qt::LeftButton)
{
    ASSERT_NE(item, nullptr);
    const QPoint at = item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
    QTest::mouseClick(window, button, Qt::NoModifier, at);
}

TEST_F(Skin, AClickOnAToggleOrASegmentIsOneEditGesture)
{
    auto* component = new GestureComponent;
    Tessel::getRootComponent()->addChild(component);
    auto window = makeQml(
        "import QtQuick.Window\nimport \"file://" SKIN_DIR "\"\n"
        "Window { width: 300; height: 100; visible: true\n"
        "  ParamButton { objectName: \"mute\"; text: \"MUTE\"; address: \"://roomdesk/GestureTest/mute\" }\n"
        "  ParamChoice { objectName: \"mode\"; y: 50; address: \"://roomdesk/GestureTest/mode\" } }");
    ASSERT_TRUE(window);
    auto* quick = qobject_cast<QQuickWindow*>(window.get());
    ASSERT_TRUE(quick);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(quick));
    Tessel::IParameter* mute = component->findParameter("mute");

    // On, then off: each change is made while the control is held, and nothing stays held.
    clickItem(quick, findBelow(quick->contentItem(), "mute"));
    clickItem(quick, findBelow(quick->contentItem(), "mute"));
    ASSERT_EQ(component->changes.size(), 2u);
    EXPECT_EQ(component->changes[0].value, 1);
    EXPECT_TRUE(component->changes[0].editing) << "switching on was no gesture";
    EXPECT_EQ(component->changes[1].value, 0);
    EXPECT_TRUE(component->changes[1].editing) << "switching off was no gesture";
    EXPECT_FALSE(mute->isFlag(Tessel::ParamFlags::kEditing));

    // The third segment of the list.
    QQuickItem* segments = findBelow(quick->contentItem(), "mode");
    ASSERT_NE(segments, nullptr);
    ASSERT_EQ(segments->childItems().size(), 4); // three segments and their repeater
    clickItem(quick, segments->childItems()[2]);
    ASSERT_EQ(component->changes.size(), 3u);
    EXPECT_EQ(component->changes[2].name, "mode");
    EXPECT_EQ(component->changes[2].value, 2);
    EXPECT_TRUE(component->changes[2].editing);
    EXPECT_FALSE(component->findParameter("mode")->isFlag(Tessel::ParamFlags::kEditing));
    EXPECT_TRUE(capturedWarnings().isEmpty()) << capturedWarnings().join("\n").toStdString();
    window.reset();
    Tessel::getRootComponent()->removeChild(component);
}

// Takes the commands of the test menus ("MenuTest" category) and notes their names.
class MenuCommands : public Tessel::Component
{
public:
    MenuCommands() : Tessel::Component("MenuTest") {}
    bool acceptsCommandCategory(const std::string& category) const override { return category == "MenuTest"; }
    bool interpretCommand(const Tessel::CommandMsg& msg) override
    {
        if (msg.category != "MenuTest")
            return false;
        if (!msg.checkOnly)
            run.push_back(msg.name);
        return true;
    }
    std::vector<std::string> run;
};

TEST_F(Skin, TheMenuBarOpensAgainAfterEscapeAndItsItemsRun)
{
    // The bar shows what the application's undo did, so it binds the application.
    if (!Tessel::Application::getApplication())
        new Tessel::Application("roomdesk", "Ambrel"); // adds itself below the root
    auto* commands = new MenuCommands;
    Tessel::getRootComponent()->addChild(commands);
    platform().getSkinContext()->setMenuSource(
        []
        {
            QVariantList items{
                QVariantMap{{"title", "About Ambrel"}, {"category", "MenuTest"}, {"name", "About"}},
                QVariantMap{{"separator", true}},
                QVariantMap{{"title", "Quit"}, {"category", "MenuTest"}, {"name", "Quit"}}};
            return QVariantList{QVariantMap{{"title", "Ambrel"}, {"items", items}},
                                QVariantMap{{"title", "TEST"}, {"items", QVariantList()}}};
        });
    // Controls follow the pointer as on a desktop (the offscreen platform turns hover effects off).
    const bool hoverBefore = QGuiApplication::styleHints()->useHoverEffects();
    QGuiApplication::styleHints()->setUseHoverEffects(true);
    auto window = makeQml("import QtQuick.Controls.Basic as Controls\nimport \"file://" SKIN_DIR "\"\n"
                          "Controls.ApplicationWindow { width: 500; height: 300; visible: true\n"
                          "  menuBar: SkinMenuBar {} }");
    ASSERT_TRUE(window);
    auto* quick = qobject_cast<QQuickWindow*>(window.get());
    ASSERT_TRUE(quick);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(quick));
    QQuickItem* root = quick->contentItem();
    auto find = [&](const char* name) { return findBelow(root, QString::fromLatin1(name)); };
    // Open: the entries shown and laid out (Quit below About).
    auto menuOpen = [&]
    {
        QQuickItem* about = find("menuItem:About Ambrel");
        QQuickItem* quit = find("menuItem:Quit");
        return about && quit && quit->isVisible() && quit->window() == quick &&
               quit->mapToScene(QPointF(0, 0)).y() > about->mapToScene(QPointF(0, 0)).y();
    };
    auto menuClosed = [&]
    {
        QQuickItem* quit = find("menuItem:Quit");
        return !quit || !quit->isVisible();
    };
    // Over an entry, then a click on it.
    auto clickEntry = [&](const char* name)
    {
        QQuickItem* entry = find(name);
        ASSERT_NE(entry, nullptr);
        const QPoint at = entry->mapToScene(QPointF(entry->width() / 2, entry->height() / 2)).toPoint();
        QTest::mouseMove(quick, at);
        QTest::mouseClick(quick, Qt::LeftButton, Qt::NoModifier, at);
    };
    ASSERT_NE(find("menu:Ambrel"), nullptr);

    // As a pointer does: over the title first, then the click; the pointer stays there.
    auto clickTitle = [&]
    {
        QQuickItem* title = find("menu:Ambrel");
        ASSERT_NE(title, nullptr);
        const QPoint at = title->mapToScene(QPointF(title->width() / 2, title->height() / 2)).toPoint();
        QTest::mouseMove(quick, at - QPoint(3, 0));
        QTest::mouseMove(quick, at);
        QTest::mouseClick(quick, Qt::LeftButton, Qt::NoModifier, at);
    };
    // The pointer rests on the title while the menu is open (it moves a little, as a hand does).
    auto restOnTitle = [&]
    {
        QQuickItem* title = find("menu:Ambrel");
        const QPoint at = title->mapToScene(QPointF(title->width() / 2, title->height() / 2)).toPoint();
        QTest::mouseMove(quick, at + QPoint(1, 0));
        QTest::qWait(20);
        QTest::mouseMove(quick, at);
    };
    for (int round = 0; round < 3; ++round)
    {
        clickTitle();
        ASSERT_TRUE(waitFor(menuOpen, 2000)) << "the menu did not open in round " << round;
        restOnTitle();
        QTest::keyClick(quick, Qt::Key_Escape);
        ASSERT_TRUE(waitFor(menuClosed, 2000)) << "Escape left the menu open";
    }
    // The pointer moved off and back, as a user's does.
    QTest::mouseMove(quick, QPoint(250, 200));
    clickTitle();
    ASSERT_TRUE(waitFor(menuOpen, 2000)) << "the menu did not open after the pointer moved away";
    QTest::keyClick(quick, Qt::Key_Escape);
    ASSERT_TRUE(waitFor(menuClosed, 2000));

    // A second click on the title closes its menu, the next opens it.
    clickTitle();
    ASSERT_TRUE(waitFor(menuOpen, 2000));
    clickTitle();
    ASSERT_TRUE(waitFor(menuClosed, 2000)) << "a click on the open menu's title left it open";

    // Once more, and Quit runs.
    clickTitle();
    ASSERT_TRUE(waitFor(menuOpen, 2000));
    clickEntry("menuItem:Quit");
    EXPECT_TRUE(waitFor([&] { return commands->run == std::vector<std::string>{"Quit"}; }, 2000));
    EXPECT_TRUE(waitFor(menuClosed, 2000));
    // And About after it.
    clickTitle();
    ASSERT_TRUE(waitFor(menuOpen, 2000));
    clickEntry("menuItem:About Ambrel");
    EXPECT_TRUE(waitFor([&] { return commands->run.size() == 2 && commands->run[1] == "About"; }, 2000));
    EXPECT_TRUE(capturedWarnings().isEmpty()) << capturedWarnings().join("\n").toStdString();
    window.reset();
    QGuiApplication::styleHints()->setUseHoverEffects(hoverBefore);
    Tessel::getRootComponent()->removeChild(commands);
}

} // namespace

// --- Undo from the keyboard and the Edit menu ----------------------------------------------------

namespace
{
// The menus of the shipped menu bar, as roomdesk hands them to the skin.
QVariantList shippedMenus()
{
    Tessel::MenuBar bar;
    bar.load("resource:///menubar.xml", false);
    QVariantList menus;
    for (const Tessel::Menu& menu : bar.getMenus())
    {
        QVariantList items;
        for (const Tessel::MenuEntry& entry : menu.entries)
            items.append(
                QVariantMap{{"separator", entry.kind == Tessel::MenuEntry::Kind::Separator},
                            {"title", QString::fromStdString(Tessel::expandTextVariables(entry.title))},
                            {"category", QString::fromStdString(entry.category)},
                            {"name", QString::fromStdString(entry.name)}});
        menus.append(QVariantMap{{"title", QString::fromStdString(menu.title)}, {"items", items}});
    }
    return menus;
}
} // namespace

TEST_F(Skin, CtrlZAfterAFaderDragReturnsItAndTheEditMenuNamesTheStep)
{
    if (!Tessel::Application::getApplication())
        new Tessel::Application("roomdesk", "Ambrel"); // adds itself below the root
    Tessel::UndoHistory* history = Tessel::GetUndoHistory();
    ASSERT_NE(history, nullptr);
    history->clear();
    auto* desk = new Tessel::Component("UndoTest", "Main Hall");
    Tessel::Parameter* level = desk->getParams().addFloat(-80, 10, "level");
    level->setFlag(Tessel::ParamFlags::kUndoable, true);
    level->setValue(Tessel::Variant(-40.0), false);
    Tessel::getRootComponent()->addChild(desk);
    platform().getSkinContext()->setMenuSource(&shippedMenus);

    const QString skin = QUrl::fromLocalFile(QStringLiteral(SKIN_DIR)).toString();
    auto window = makeQml(
        QStringLiteral(
            "import QtQuick.Controls.Basic as Controls\n"
            "import \"%1\"\n"
            "Controls.ApplicationWindow {\n"
            "  width: 320; height: 320; visible: true\n"
            "  menuBar: SkinMenuBar { id: bar }\n"
            "  Fader { objectName: 'fader'; y: 20; height: 240; address: '://roomdesk/UndoTest/level' }\n"
            "}\n")
            .arg(skin));
    ASSERT_TRUE(window);
    auto* quick = qobject_cast<QQuickWindow*>(window.get());
    ASSERT_NE(quick, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(quick));
    // The main window of an earlier test holds a menu bar of its own: only one bar is shown at a time.
    for (QWindow* other : QGuiApplication::topLevelWindows())
        if (other != quick)
            other->hide();
    // The Edit menu's entries as "text" or "text (off)", joined by "|".
    auto editMenu = [&]
    {
        QQuickItem* title = findBelow(quick->contentItem(), QStringLiteral("menu:Edit"));
        QObject* menu = title ? qvariant_cast<QObject*>(title->property("menu")) : nullptr;
        if (!menu)
            return std::string("no Edit menu");
        std::string texts;
        for (int j = 0; j < menu->property("count").toInt(); ++j)
        {
            QQuickItem* entry = nullptr;
            QMetaObject::invokeMethod(menu, "itemAt", Q_RETURN_ARG(QQuickItem*, entry), Q_ARG(int, j));
            if (!entry)
                continue;
            texts += (texts.empty() ? "" : "|") + entry->property("text").toString().toStdString() +
                     (entry->isEnabled() ? "" : " (off)");
        }
        return texts;
    };
    EXPECT_EQ(editMenu(), "Undo (off)|Redo (off)");

    auto* fader = quick->findChild<QQuickItem*>("fader");
    ASSERT_NE(fader, nullptr);
    const QPoint top = fader->mapToScene(QPointF(fader->width() / 2, 30)).toPoint();
    const QPoint low = fader->mapToScene(QPointF(fader->width() / 2, 150)).toPoint();
    QTest::mousePress(quick, ::Qt::LeftButton, {}, low);
    QTest::mouseMove(quick, (low + top) / 2);
    QTest::mouseMove(quick, top);
    QTest::mouseRelease(quick, ::Qt::LeftButton, {}, top);
    const double dragged = level->getValue().asDouble();
    ASSERT_GT(dragged, -40.0);
    EXPECT_EQ(history->countUndoSteps(), 1u) << "one drag, one step";
    EXPECT_EQ(editMenu(), "Undo Level Main Hall|Redo (off)");

    QTest::keyClick(quick, ::Qt::Key_Z, ::Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(level->getValue().asDouble(), -40.0);
    EXPECT_EQ(editMenu(), "Undo (off)|Redo Level Main Hall");
    QQuickItem* status = findBelow(quick->contentItem(), QStringLiteral("undoStatus"));
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->property("text").toString(), QStringLiteral("Undone: Level Main Hall"));
    EXPECT_TRUE(status->isVisible());
    QTest::keyClick(quick, ::Qt::Key_Y, ::Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(level->getValue().asDouble(), dragged);
    // Only this window's warnings count (an earlier test's main window lost its speaker list).
    capturedWarnings().removeIf([](const QString& w) { return w.contains("SpeakerNetwork/"); });
    EXPECT_TRUE(capturedWarnings().isEmpty()) << capturedWarnings().join("\n").toStdString();
    window.reset();
    history->clear();
}
