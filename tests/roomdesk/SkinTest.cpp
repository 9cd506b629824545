// The skin and the QML bridge, offscreen: every form loads without a QML warning, bindings follow
// parameters and properties both ways, unresolved addresses are reported.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
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
#include "roomdesk/views/QrCode.h"
#include "roomdesk/views/RoomdeskViews.h"
#include "tessel/Application.h"
#include "tessel/CommandMsg.h"
#include "tessel/CommandParamList.h"
#include "tessel/Component.h"
#include "tessel/IParameter.h"
#include "tessel/IWindowManager.h"
#include "tessel/ListParam.h"
#include "tessel/Parameter.h"
#include "tessel/Platform.h"
#include "tessel/StringParam.h"
#include "tessel/TextVariables.h"
#include "tessel/UndoHistory.h"
#include "tessel_qt/QtPlatform.h"
#include "tessel_qt/SkinContext.h"
#include "tests/common/QuickTestSupport.h"
#include "tests/roomdesk/QrReader.h"

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
        setenv("ROOMDESK_WEB_PORT", "0",
               1); // the tablet remote stays off: parallel desks never share its port
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

// Forgets the warnings of what the offscreen platform cannot do (raise a window, pass a dialog's
// size limits on to a window manager): no fault of the skin.
void dropOffscreenLimits()
{
    capturedWarnings().removeIf(
        [](const QString& w)
        { return w.contains("does not support raise") || w.contains("propagateSizeHints"); });
}

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
        for (const char* name : {"BridgeTest", "ListTest", "MeterTest", "SpeakerNetwork", "GestureTest",
                                 "MenuTest", "UndoTest", "WebRemote"})
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

// Keeps a picture of `window` as `name`.png in SKIN_SHOT_DIR, when that is set (once its surface
// has taken the window's latest size).
void keepShot(QQuickWindow* window, const char* name)
{
    const char* dir = std::getenv("SKIN_SHOT_DIR");
    if (!dir)
        return;
    QImage picture;
    (void)waitFor(
        [&]
        {
            picture = window->grabWindow();
            return picture.height() >= window->height() * picture.devicePixelRatio();
        },
        2000);
    picture.save(QString::fromLocal8Bit(dir) + "/" + name + ".png");
}

// Keeps a picture of `dialog` over `main` as `name`.png in SKIN_SHOT_DIR, as a user sees the two
// (the dialog centred across and a third down).
void keepShotOver(QQuickWindow* main, QQuickWindow* dialog, const char* name)
{
    const char* dir = std::getenv("SKIN_SHOT_DIR");
    if (!dir)
        return;
    auto grabWhole = [](QQuickWindow* window)
    {
        QImage picture;
        (void)waitFor(
            [&]
            {
                picture = window->grabWindow();
                return picture.height() >= window->height() * picture.devicePixelRatio();
            },
            2000);
        return picture;
    };
    QImage picture = grabWhole(main);
    const QImage over = grabWhole(dialog);
    QPainter painter(&picture);
    painter.drawImage(
        QPointF((main->width() - dialog->width()) / 2.0, (main->height() - dialog->height()) / 3.0), over);
    painter.end();
    picture.save(QString::fromLocal8Bit(dir) + "/" + name + ".png");
}

// The tablet remote as the skin sees it, below the root as "WebRemote": the address and where it
// listens, the read-only switch, pairing, and the paired devices in the child "Devices"
// ("deviceName[i]", "deviceSeen[i]", the commands "revoke[i]"), whose revokes it notes.
class FakeWebRemote : public Tessel::Component
{
public:
    class Devices : public Tessel::Component
    {
    public:
        Devices() : Tessel::Component("Devices")
        {
            revokes = std::make_unique<Tessel::CommandParamList>(getParams(), "revoke", "WebRemote", "Revoke",
                                                                 "device");
        }
        bool interpretCommand(const Tessel::CommandMsg& msg) override
        {
            if (msg.category != "WebRemote" || msg.name != "Revoke")
                return Tessel::Component::interpretCommand(msg);
            if (!msg.checkOnly)
                revoked.push_back(msg.getArgument("device").asString());
            return true;
        }
        std::unique_ptr<Tessel::CommandParamList> revokes;
        std::vector<std::string> revoked;
    };

    FakeWebRemote() : Tessel::Component("WebRemote")
    {
        Tessel::ParamContainer& params = getParams();
        url = params.addString("url");
        listening = params.addString("listening");
        readOnly = params.addParam("readOnly");
        pairingRequired = params.addParam("pairingRequired");
        pairingCode = params.addString("pairingCode");
        pairingCode->setFlag(Tessel::ParamFlags::kSecret, true);
        deviceCount = params.addInteger(0, 1000, "deviceCount");
        for (Tessel::IParameter* shown :
             {(Tessel::IParameter*)url, (Tessel::IParameter*)listening, (Tessel::IParameter*)pairingRequired,
              (Tessel::IParameter*)pairingCode, (Tessel::IParameter*)deviceCount})
            shown->setFlag(Tessel::ParamFlags::kReadOnly, true);
        devices = new Devices;
        addChild(devices);
    }
    // Paired devices as (name, last seen) pairs; each revoke sends its device's token id.
    void setDevices(const std::vector<std::pair<std::string, std::string>>& rows)
    {
        std::vector<Tessel::Variant> ids;
        for (size_t i = 0; i < rows.size(); ++i)
        {
            for (const char* base : {"deviceName", "deviceSeen"})
            {
                const std::string name = Tessel::CommandParamList::entryName(base, int(i));
                Tessel::IParameter* param = devices->findParameter(name);
                if (!param)
                    param = devices->getParams().addString(name);
                param->setValue(
                    Tessel::Variant(std::string(base) == "deviceName" ? rows[i].first : rows[i].second),
                    true);
            }
            ids.push_back(Tessel::Variant("token" + std::to_string(i)));
        }
        devices->revokes->setValues(ids);
        deviceCount->setValue(Tessel::Variant(int64_t(rows.size())), true);
    }
    void set(Tessel::Parameter* param, const Tessel::Variant& value) { param->setValue(value, true); }

    Tessel::StringParam* url;
    Tessel::StringParam* listening;
    Tessel::Parameter* readOnly;
    Tessel::Parameter* pairingRequired;
    Tessel::StringParam* pairingCode;
    Tessel::Parameter* deviceCount;
    Devices* devices;
};

TEST_F(Skin, MainWindowAndAboutFormLoadWithoutWarningsAndEscapeClosesAbout)
{
    Vellaris::Roomdesk::createComponents();
    Tessel::Application* application = Tessel::Application::getApplication();
    application->initializeApplication();
    ASSERT_TRUE(application->startup());
    // The About box shows the tablet remote's address: a stand-in where the desk has none.
    if (!Tessel::getRootComponent()->findChild("WebRemote"))
        Tessel::getRootComponent()->addChild(new FakeWebRemote);
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

    // The offscreen platform cannot raise windows nor pass size limits on; that is no fault of the skin.
    dropOffscreenLimits();
    EXPECT_TRUE(capturedWarnings().isEmpty()) << capturedWarnings().join("\n").toStdString();

    EXPECT_FALSE(windows->openWindow("NoSuchForm", application, true));

    // Pictures of the desk at its design size with the tablet remote's windows over it.
    if (std::getenv("SKIN_SHOT_DIR"))
    {
        if (auto* fake = dynamic_cast<FakeWebRemote*>(Tessel::getRootComponent()->findChild("WebRemote")))
        {
            fake->set(fake->url, Tessel::Variant("http://192.168.1.20:8080/"));
            fake->set(fake->listening, Tessel::Variant("0.0.0.0:8080"));
            fake->set(fake->pairingRequired, Tessel::Variant(1));
            fake->set(fake->pairingCode, Tessel::Variant("042917"));
            fake->setDevices(
                {{"Safari iPad 192.168.1.31", "21:14:03"}, {"Chrome Android 192.168.1.44", "21:20:51"}});
        }
        keepShotOver(qobject_cast<QQuickWindow*>(main), qobject_cast<QQuickWindow*>(about), "about-1024");
        about->close();
        ASSERT_TRUE(Tessel::Qt::SkinContext::routeCommand("Application", "Remote Devices", false));
        auto* devices = qobject_cast<QQuickWindow*>(platform().findForm("RemoteDevices"));
        ASSERT_NE(devices, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(devices));
        keepShotOver(qobject_cast<QQuickWindow*>(main), devices, "remote-devices-1024");
        devices->close();
    }

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

// A visible item below `item` whose text is `text`.
bool showsText(QQuickItem* item, const QString& text)
{
    if (item->isVisible() && item->property("text").toString() == text)
        return true;
    for (QQuickItem* child : item->childItems())
        if (child->isVisible() && showsText(child, text))
            return true;
    return false;
}

// The speaker network as the browser sees it: the list shows only the speakers not placed yet, while
// "hasItems" counts every speaker found.
class FoundSpeakers : public Tessel::Component
{
public:
    FoundSpeakers() : Tessel::Component("SpeakerNetwork") {}
    bool getProperty(const std::string& name, Tessel::Variant& value) const override
    {
        if (name == "hasItems")
        {
            value = Tessel::Variant(found);
            return true;
        }
        return Tessel::Component::getProperty(name, value);
    }
    bool found = false;
};

TEST_F(Skin, TheEmptyNetworkBrowserTellsSearchingFromEverySpeakerPlaced)
{
    auto* network = new FoundSpeakers;
    auto* unplaced = new FakeList("NetworkList");
    unplaced->rows = 0;
    network->addChild(unplaced);
    Tessel::getRootComponent()->addChild(network);
    auto window = makeQml("import QtQuick.Window\nimport \"file://" SKIN_DIR "\"\n"
                          "Window { width: 260; height: 500; visible: true\n"
                          "  NetworkBrowser { anchors.fill: parent } }");
    ASSERT_TRUE(window);
    auto* quick = qobject_cast<QQuickWindow*>(window.get());
    ASSERT_TRUE(quick);
    EXPECT_TRUE(waitFor([&] { return showsText(quick->contentItem(), "Searching the network…"); }));

    network->found = true;
    network->propertyChanged("hasItems");
    EXPECT_TRUE(waitFor([&] { return showsText(quick->contentItem(), "Every speaker found is placed"); }));
    EXPECT_FALSE(showsText(quick->contentItem(), "Searching the network…"));
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

// --- The tablet remote's screens on the desk --------------------------------------------------------

namespace
{

// The application object the desk's forms bind (its name and version), and the fake remote.
FakeWebRemote* makeDeskWithFakeRemote()
{
    if (!Tessel::Application::getApplication())
        new Vellaris::Roomdesk; // adds itself below the root
    Tessel::Application::getApplication()->initializeApplication();
    EXPECT_EQ(Tessel::getRootComponent()->findChild("WebRemote"), nullptr) << "a WebRemote is there already";
    auto* remote = new FakeWebRemote;
    Tessel::getRootComponent()->addChild(remote);
    return remote;
}

// The picture of `item` as its window shows it, in the window's device pixels.
QImage pictureOf(QQuickWindow* window, QQuickItem* item)
{
    const QImage whole = window->grabWindow();
    const qreal ratio = whole.devicePixelRatio();
    const QRectF area = item->mapRectToScene(QRectF(0, 0, item->width(), item->height()));
    return whole.copy(QRectF(area.topLeft() * ratio, area.size() * ratio).toAlignedRect());
}

bool shownBelow(QQuickItem* root, const char* name)
{
    QQuickItem* item = findBelow(root, QString::fromLatin1(name));
    return item && item->isVisible();
}

} // namespace

TEST_F(Skin, TheAboutBoxShowsTheTabletAddressItsQrCodeAndThePairingCodeOnlyWhilePairing)
{
    FakeWebRemote* remote = makeDeskWithFakeRemote();
    remote->set(remote->url, Tessel::Variant("http://192.168.1.20:8080/"));
    remote->set(remote->listening, Tessel::Variant("0.0.0.0:8080"));
    remote->set(remote->pairingCode, Tessel::Variant("042917"));

    // A form an earlier test left is made anew, bound to this remote.
    delete platform().findForm("AboutApplication");
    Tessel::IWindowManager* windows = Tessel::GetWindowManager();
    ASSERT_TRUE(windows->openWindow("AboutApplication", Tessel::Application::getApplication(), true));
    auto* about = qobject_cast<QQuickWindow*>(platform().findForm("AboutApplication"));
    ASSERT_NE(about, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(about));
    QQuickItem* root = about->contentItem();

    // The address as selectable text and its QR code, which reads back as the address.
    QQuickItem* url = findBelow(root, "webUrl");
    ASSERT_NE(url, nullptr);
    EXPECT_TRUE(url->isVisible());
    EXPECT_EQ(url->property("text").toString(), QStringLiteral("http://192.168.1.20:8080/"));
    EXPECT_TRUE(url->property("selectByMouse").toBool());
    EXPECT_TRUE(url->property("readOnly").toBool());
    QQuickItem* qr = findBelow(root, "webQr");
    ASSERT_NE(qr, nullptr);
    EXPECT_TRUE(qr->isVisible());
    EXPECT_EQ(qr->property("text").toString(), QStringLiteral("http://192.168.1.20:8080/"));
    EXPECT_GE(qr->property("modules").toInt(), 21);
    EXPECT_GE(qr->property("modulePixels").toInt(), 3) << "modules too small for a camera";
    EXPECT_FALSE(shownBelow(root, "webListening"));
    const QImage code = pictureOf(about, qr);
    // Dark on light: the corner of the quiet zone is light, the top left finder's corner dark.
    const int pixels = qr->property("modulePixels").toInt();
    const int side = (qr->property("modules").toInt() + 2 * Vellaris::kQrQuietZone) * pixels;
    const int left = (code.width() - side) / 2, top = (code.height() - side) / 2;
    EXPECT_EQ(code.pixelColor(left + 1, top + 1), QColor(Qt::white));
    EXPECT_EQ(code.pixelColor(left + 4 * pixels + 1, top + 4 * pixels + 1), QColor(Qt::black));
    if (QrReader::available())
    {
        const std::string path = ::testing::TempDir() + "about-qr-" + std::to_string(getpid()) + ".png";
        ASSERT_TRUE(code.save(QString::fromStdString(path)));
        EXPECT_EQ(QrReader::read(path), "http://192.168.1.20:8080/");
        std::remove(path.c_str());
    }

    // No pairing: no code shown. Pairing: the code, large, and what to do with it.
    EXPECT_FALSE(shownBelow(root, "pairingCode"));
    remote->set(remote->pairingRequired, Tessel::Variant(1));
    EXPECT_TRUE(waitFor([&] { return shownBelow(root, "pairingCode"); }));
    QQuickItem* pairing = findBelow(root, "pairingCode");
    EXPECT_EQ(pairing->property("text").toString(), QStringLiteral("042917"));
    EXPECT_GE(pairing->property("font").value<QFont>().pixelSize(), 32);
    EXPECT_TRUE(shownBelow(root, "pairingHint"));
    // The box grows to hold it: the hint under the code lies wholly inside the window.
    QQuickItem* hint = findBelow(root, "pairingHint");
    EXPECT_TRUE(waitFor([&] { return hint->mapToScene(QPointF(0, hint->height())).y() <= about->height(); }))
        << "hint bottom " << hint->mapToScene(QPointF(0, hint->height())).y() << ", window height "
        << about->height();
    // A new code after a pairing shows at once.
    remote->set(remote->pairingCode, Tessel::Variant("538201"));
    EXPECT_EQ(pairing->property("text").toString(), QStringLiteral("538201"));
    keepShot(about, "about");
    remote->set(remote->pairingRequired, Tessel::Variant(0));
    EXPECT_TRUE(waitFor([&] { return !shownBelow(root, "pairingCode"); }));

    // Not serving: why, and neither address nor code.
    remote->set(remote->url, Tessel::Variant(""));
    remote->set(remote->listening, Tessel::Variant("port 8080 is taken"));
    EXPECT_TRUE(waitFor([&] { return shownBelow(root, "webListening"); }));
    EXPECT_EQ(findBelow(root, "webListening")->property("text").toString(),
              QStringLiteral("Tablet remote off: port 8080 is taken"));
    EXPECT_FALSE(shownBelow(root, "webQr"));
    EXPECT_FALSE(shownBelow(root, "webUrl"));

    QTest::keyClick(about, Qt::Key_Escape);
    EXPECT_TRUE(waitFor([&] { return !about->isVisible(); })) << "Escape left the About box open";
    dropOffscreenLimits();
    EXPECT_TRUE(capturedWarnings().isEmpty()) << capturedWarnings().join("\n").toStdString();
}

TEST_F(Skin, RemoteDevicesListsThePairedDevicesRevokesEachAndSwitchesReadOnlyPages)
{
    FakeWebRemote* remote = makeDeskWithFakeRemote();
    remote->set(remote->url, Tessel::Variant("http://192.168.1.20:8080/"));
    remote->set(remote->listening, Tessel::Variant("0.0.0.0:8080"));
    remote->set(remote->pairingRequired, Tessel::Variant(1));
    remote->set(remote->pairingCode, Tessel::Variant("042917"));
    remote->setDevices(
        {{"Safari iPad 192.168.1.31", "21:14:03"}, {"Chrome Android 192.168.1.44", "21:20:51"}});

    delete platform().findForm("RemoteDevices");
    // As the Application menu's "Remote Devices…" opens it.
    ASSERT_TRUE(Tessel::Qt::SkinContext::routeCommand("Application", "Remote Devices", false));
    auto* window = qobject_cast<QQuickWindow*>(platform().findForm("RemoteDevices"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->title(), QStringLiteral("Remote Devices"));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    QQuickItem* root = window->contentItem();

    EXPECT_EQ(findBelow(root, "webUrl")->property("text").toString(),
              QStringLiteral("http://192.168.1.20:8080/"));
    EXPECT_TRUE(shownBelow(root, "webQr"));
    EXPECT_TRUE(shownBelow(root, "pairingCode"));
    EXPECT_EQ(findBelow(root, "pairingCode")->property("text").toString(), QStringLiteral("042917"));

    // Two rows, each its device's name and when it was last seen.
    EXPECT_FALSE(shownBelow(root, "noDevices"));
    auto rowText = [&](int row, const char* part)
    {
        QQuickItem* item = findBelow(root, QStringLiteral("device%1").arg(row));
        QQuickItem* text = item ? findBelow(item, QString::fromLatin1(part)) : nullptr;
        return text ? text->property("text").toString() : QStringLiteral("(no row)");
    };
    EXPECT_EQ(rowText(0, "deviceName"), QStringLiteral("Safari iPad 192.168.1.31"));
    EXPECT_EQ(rowText(0, "deviceSeen"), QStringLiteral("Last seen 21:14:03"));
    EXPECT_EQ(rowText(1, "deviceName"), QStringLiteral("Chrome Android 192.168.1.44"));
    EXPECT_EQ(rowText(1, "deviceSeen"), QStringLiteral("Last seen 21:20:51"));
    EXPECT_EQ(findBelow(root, "device2"), nullptr);
    keepShot(window, "remote-devices");

    // REVOKE of the second row revokes the second device, and only it.
    QQuickItem* second = findBelow(root, "device1");
    ASSERT_NE(second, nullptr);
    clickItem(window, findBelow(second, "revoke"));
    EXPECT_EQ(remote->devices->revoked, std::vector<std::string>{"token1"});
    // The desk drops it: one row stays.
    remote->setDevices({{"Safari iPad 192.168.1.31", "21:14:03"}});
    EXPECT_TRUE(waitFor([&] { return findBelow(root, "device1") == nullptr; }));
    EXPECT_EQ(rowText(0, "deviceName"), QStringLiteral("Safari iPad 192.168.1.31"));
    clickItem(window, findBelow(findBelow(root, "device0"), "revoke"));
    EXPECT_EQ(remote->devices->revoked, (std::vector<std::string>{"token1", "token0"}));
    remote->setDevices({});
    EXPECT_TRUE(waitFor([&] { return shownBelow(root, "noDevices"); }));

    // The read-only switch says its state in words and colour, and a click flips it.
    QQuickItem* readOnly = findBelow(root, "readOnlyPages");
    ASSERT_NE(readOnly, nullptr);
    EXPECT_EQ(readOnly->property("shownText").toString(), QStringLiteral("READ-ONLY PAGES OFF"));
    EXPECT_FALSE(readOnly->property("checked").toBool());
    clickItem(window, readOnly);
    EXPECT_EQ(remote->readOnly->getValue().asInt(), 1);
    EXPECT_EQ(readOnly->property("shownText").toString(), QStringLiteral("READ-ONLY PAGES ON"));
    EXPECT_TRUE(readOnly->property("checked").toBool());
    // Set elsewhere (the remote control), the switch follows.
    remote->set(remote->readOnly, Tessel::Variant(0));
    EXPECT_EQ(readOnly->property("shownText").toString(), QStringLiteral("READ-ONLY PAGES OFF"));
    clickItem(window, readOnly);
    clickItem(window, readOnly);
    EXPECT_EQ(remote->readOnly->getValue().asInt(), 0);

    // Pairing ends (loopback only): the code goes.
    remote->set(remote->pairingRequired, Tessel::Variant(0));
    EXPECT_TRUE(waitFor([&] { return !shownBelow(root, "pairingCode"); }));

    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_TRUE(waitFor([&] { return !window->isVisible(); })) << "Escape left Remote Devices open";
    ASSERT_TRUE(Tessel::Qt::SkinContext::routeCommand("Application", "Remote Devices", false));
    EXPECT_TRUE(waitFor([&] { return window->isVisible(); })) << "it opens again";
    dropOffscreenLimits();
    EXPECT_TRUE(capturedWarnings().isEmpty()) << capturedWarnings().join("\n").toStdString();
    window->close();
}
