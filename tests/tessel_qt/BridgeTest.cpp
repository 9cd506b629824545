// The QML bridge's services, offscreen: parameters that are edited or replaced, commands with
// arguments, views made by components, context menus, the style table, list models, drag and
// drop, and the system's sleep signal.
#include <gtest/gtest.h>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>

#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "tessel/CommandDispatcher.h"
#include "tessel/CommandParamList.h"
#include "tessel/Component.h"
#include "tessel/DragSession.h"
#include "tessel/IContextMenu.h"
#include "tessel/ListModel.h"
#include "tessel/Parameter.h"
#include "tessel/Platform.h"
#include "tessel/Style.h"
#include "tessel/SystemPower.h"
#include "tessel_qt/QtDescriptorWatcher.h"
#include "tessel_qt/QtPlatform.h"
#include "tessel_qt/SleepMonitor.h"

using namespace Tessel;

namespace
{

class BridgeEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "bridge_tests";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
        platform = std::make_unique<Tessel::Qt::QtPlatform>();
        setModuleIdentifier("roomdesk");
    }
    void TearDown() override
    {
        destroyRootComponent();
        platform.reset();
        app.reset();
    }
    static inline std::unique_ptr<QGuiApplication> app;
    static inline std::unique_ptr<Tessel::Qt::QtPlatform> platform;
};

const auto* environment = ::testing::AddGlobalTestEnvironment(new BridgeEnvironment);

std::unique_ptr<QObject> makeQml(const QString& source)
{
    QQmlComponent component(BridgeEnvironment::platform->getEngine());
    component.setData(("import QtQuick\nimport Tessel 1.0\n" + source).toUtf8(),
                      QUrl(QStringLiteral("memory:/b.qml")));
    (void)QTest::qWaitFor([&] { return !component.isLoading(); }, 10000);
    std::unique_ptr<QObject> object(component.create());
    if (!object)
        ADD_FAILURE() << component.errorString().toStdString();
    return object;
}

// A venue-like component below the root: parameters, a "Close" command with its argument, one
// close button per room, a meter view and a context menu.
class Venue : public Component, public CommandDispatcher<Venue>, public IContextMenuHandler
{
    TESSEL_DECLARE_COMMANDS(Venue)
public:
    Venue() : Component("BridgeVenue")
    {
        maxVolume = getParams().addFloat(-80, 10, "maxVolume", 100);
        closeButtons.setValues({Variant("{A}"), Variant("{B}")});
    }
    void* queryInterface(const UID& iid) override
    {
        TESSEL_QUERY_INTERFACE(IContextMenuHandler)
        return Component::queryInterface(iid);
    }
    int retain() override { return Component::retain(); }
    int release() override { return Component::release(); }
    bool acceptsCommandCategory(const std::string& category) const override { return category == "Venue"; }
    bool onClose(const CommandMsg& msg)
    {
        const std::string room = msg.getArgument("closeRoom").asString();
        if (room.empty())
            return false;
        if (!msg.checkOnly)
            closed.push_back(room);
        return true;
    }
    bool onCopy(const CommandMsg& msg)
    {
        if (!msg.checkOnly)
            closed.push_back("copied");
        return true;
    }
    void appendContextMenu(IContextMenu& menu, const Attributes&) override
    {
        menu.addCommand("Copy", CommandMsg("Venue", "Copy"));
        menu.addCommand("Close", CommandMsg("Venue", "Close")); // no room: disabled
    }
    Object* createView(const std::string& viewName, const Attributes& arguments) override
    {
        if (viewName != "MeterDisplay0")
            return Component::createView(viewName, arguments);
        meter = new MeterView;
        meter->retain();
        return meter;
    }
    using Component::createView;

    struct MeterView : Object
    {
        double level = 0.25;
        bool getProperty(const std::string& name, Variant& value) const override
        {
            if (name != "level")
                return false;
            value = Variant(level);
            return true;
        }
    };

    Parameter* maxVolume;
    CommandParamList closeButtons{getParams(), "closeRoom", "Venue", "Close", "closeRoom", 110};
    std::vector<std::string> closed;
    MeterView* meter = nullptr;
};
TESSEL_BEGIN_COMMANDS(Venue)
TESSEL_COMMAND("Venue", "Close", Venue::onClose)
TESSEL_COMMAND("Venue", "Copy", Venue::onCopy)
TESSEL_END_COMMANDS(Venue, Component)

class Bridge : public ::testing::Test
{
protected:
    void SetUp() override
    {
        venue = new Venue;
        getRootComponent()->addChild(venue);
    }
    void TearDown() override
    {
        QCoreApplication::processEvents();
        getRootComponent()->removeChild(venue);
    }
    Venue* venue = nullptr;
};

} // namespace

TEST_F(Bridge, ParamShowsEditsFromAnyViewAndFollowsAReplacedParameter)
{
    auto binding = makeQml("Param { address: \"://roomdesk/BridgeVenue/maxVolume\" }");
    ASSERT_TRUE(binding);
    QSignalSpy edits(binding.get(), SIGNAL(editingChanged(bool)));
    venue->maxVolume->beginEdit(); // another view, or the remote control, holds it
    EXPECT_TRUE(binding->property("editing").toBool());
    venue->maxVolume->endEdit();
    EXPECT_FALSE(binding->property("editing").toBool());
    ASSERT_EQ(edits.count(), 2);
    EXPECT_TRUE(edits[0][0].toBool());
    EXPECT_FALSE(edits[1][0].toBool());

    Parameter* successor = Parameter::createFloat(-60, 0, "maxVolume");
    successor->setValue(Variant(-20.0));
    venue->getParams().replace(venue->maxVolume, successor);
    venue->maxVolume = successor;
    EXPECT_TRUE(QTest::qWaitFor([&] { return binding->property("value").toDouble() == -20.0; }, 5000));
    binding->setProperty("value", -30.0);
    EXPECT_DOUBLE_EQ(successor->getValue().asDouble(), -30.0);
    EXPECT_DOUBLE_EQ(binding->property("min").toDouble(), -60.0);
}

TEST_F(Bridge, CommandsCarryTheirArgumentsFromTheSkin)
{
    auto object = makeQml(
        "QtObject {\n"
        "  property Param second: Param { address: \"://roomdesk/BridgeVenue/closeRoom[1]\" }\n"
        "  function closeA() { return Skin.invokeCommand(\"Venue\", \"Close\", {closeRoom: \"{A}\"}) }\n"
        "  function canCloseNothing() { return Skin.isCommandEnabled(\"Venue\", \"Close\") }\n"
        "}");
    ASSERT_TRUE(object);
    QVariant result;
    QMetaObject::invokeMethod(object.get(), "closeA", Q_RETURN_ARG(QVariant, result));
    EXPECT_TRUE(result.toBool());
    QMetaObject::invokeMethod(object.get(), "canCloseNothing", Q_RETURN_ARG(QVariant, result));
    EXPECT_FALSE(result.toBool());
    auto* second = object->property("second").value<QObject*>();
    ASSERT_TRUE(second && second->property("valid").toBool());
    QMetaObject::invokeMethod(second, "invoke");
    EXPECT_EQ(venue->closed, (std::vector<std::string>{"{A}", "{B}"}));
}

TEST_F(Bridge, ViewsAndContextMenusComeFromTheComponent)
{
    auto view = makeQml("View { component: \"://roomdesk/BridgeVenue\"; name: \"MeterDisplay0\" }");
    ASSERT_TRUE(view);
    EXPECT_TRUE(view->property("valid").toBool());
    QVariant level;
    QMetaObject::invokeMethod(view.get(), "read", Q_RETURN_ARG(QVariant, level), Q_ARG(QString, "level"));
    EXPECT_DOUBLE_EQ(level.toDouble(), 0.25);
    QSignalSpy changes(view.get(), SIGNAL(changed()));
    venue->meter->signal(Message(Messages::kChanged));
    EXPECT_EQ(changes.count(), 1);
    view->setProperty("name", "NoSuchView");
    EXPECT_FALSE(view->property("valid").toBool());

    auto menu = makeQml("ContextMenuModel { component: \"://roomdesk/BridgeVenue\" }");
    ASSERT_TRUE(menu);
    QVariant count;
    QMetaObject::invokeMethod(menu.get(), "collect",
                              Q_RETURN_ARG(int, *reinterpret_cast<int*>(count.data())));
    const QVariantList entries = menu->property("entries").toList();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].toMap()["title"].toString(), "Copy");
    EXPECT_TRUE(entries[0].toMap()["enabled"].toBool());
    EXPECT_FALSE(entries[1].toMap()["enabled"].toBool());
    bool ran = false;
    QMetaObject::invokeMethod(menu.get(), "trigger", Q_RETURN_ARG(bool, ran), Q_ARG(int, 1));
    EXPECT_FALSE(ran);
    QMetaObject::invokeMethod(menu.get(), "trigger", Q_RETURN_ARG(bool, ran), Q_ARG(int, 0));
    EXPECT_TRUE(ran);
    EXPECT_EQ(venue->closed, (std::vector<std::string>{"copied"}));
}

TEST_F(Bridge, TheSkinReadsTheStyleTableByName)
{
    AutoPtr<Attributes> data = new Attributes;
    data->newAttributes("metrics")->setInt("gridX", 24);
    data->newAttributes("colors")->setString("accent", "#3fa9f5");
    data->newAttributes("images")->setString("wifiLock", "qrc:/skin/images/wifiLock.png");
    Attributes* font = data->newAttributes("fonts")->newAttributes("textfont");
    font->setString("family", "DejaVu Sans");
    font->setInt("size", 11);
    Style::get().load(*data);
    auto object = makeQml("QtObject {\n"
                          "  property real grid: Skin.metric(\"gridX\", 8)\n"
                          "  property real missing: Skin.metric(\"gridZ\", 8)\n"
                          "  property color accent: Skin.color(\"accent\")\n"
                          "  property string lock: Skin.image(\"wifiLock\")\n"
                          "  property string none: Skin.image(\"deleteIcon\")\n"
                          "  property int fontSize: Skin.font(\"textfont\").pixelSize\n"
                          "}");
    ASSERT_TRUE(object);
    EXPECT_DOUBLE_EQ(object->property("grid").toDouble(), 24);
    EXPECT_DOUBLE_EQ(object->property("missing").toDouble(), 8);
    EXPECT_EQ(object->property("accent").value<QColor>(), QColor("#3fa9f5"));
    EXPECT_EQ(object->property("lock").toString(), "qrc:/skin/images/wifiLock.png");
    EXPECT_EQ(object->property("none").toString(), "");
    EXPECT_EQ(object->property("fontSize").toInt(), 11);
    Style::get().clear();
}

namespace
{
class Networks : public ListModel
{
public:
    std::vector<std::pair<std::string, int>> rows{{"Backstage", 80}, {"FOH", 65}, {"Guest", 20}};
    std::vector<int> opened;
    Networks() : ListModel("BridgeWifi")
    {
        addColumn("name", "Network");
        addColumn("strength", "Signal");
    }
    int countRows() const override { return int(rows.size()); }
    Variant getCell(int row, int column) const override
    {
        if (row < 0 || row >= countRows())
            return {};
        return column == 0 ? Variant(rows[size_t(row)].first) : Variant(rows[size_t(row)].second);
    }
    void cellOpened(int row, int) override { opened.push_back(row); }
};
} // namespace

TEST_F(Bridge, TableItemsShowsColumnsSelectionAndPassesCellClicks)
{
    auto* networks = new Networks;
    getRootComponent()->addChild(networks);
    auto object = makeQml("TableItems { address: \"://roomdesk/BridgeWifi\" }");
    ASSERT_TRUE(object);
    auto* model = qobject_cast<QAbstractItemModel*>(object.get());
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->rowCount(), 3);
    EXPECT_EQ(model->columnCount(), 2);
    EXPECT_EQ(model->headerData(1, ::Qt::Horizontal, ::Qt::DisplayRole).toString(), "Signal");
    EXPECT_EQ(object->property("columnTitles").toStringList(), (QStringList{"Network", "Signal"}));
    const QHash<int, QByteArray> roles = model->roleNames();
    const int nameRole = roles.key("name"), strengthRole = roles.key("strength"),
              selectedRole = roles.key("selected");
    EXPECT_EQ(model->data(model->index(1, 0), nameRole).toString(), "FOH");
    EXPECT_EQ(model->data(model->index(1, 0), strengthRole).toInt(), 65);
    EXPECT_EQ(model->data(model->index(2, 1), ::Qt::DisplayRole).toInt(), 20);

    QSignalSpy dataChanges(model, &QAbstractItemModel::dataChanged);
    bool handled = false;
    QMetaObject::invokeMethod(object.get(), "click", Q_RETURN_ARG(bool, handled), Q_ARG(int, 0),
                              Q_ARG(int, 0), Q_ARG(int, 0));
    EXPECT_TRUE(handled);
    QMetaObject::invokeMethod(object.get(), "click", Q_RETURN_ARG(bool, handled), Q_ARG(int, 2),
                              Q_ARG(int, 1), Q_ARG(int, int(::Qt::ShiftModifier)));
    EXPECT_GE(dataChanges.count(), 1);
    for (int row = 0; row < 3; ++row)
        EXPECT_TRUE(model->data(model->index(row, 0), selectedRole).toBool()) << row;
    EXPECT_EQ(object->property("focusRow").toInt(), 0);
    QMetaObject::invokeMethod(object.get(), "open", Q_RETURN_ARG(bool, handled), Q_ARG(int, 1),
                              Q_ARG(int, 0));
    EXPECT_EQ(networks->opened, (std::vector<int>{1}));
    QMetaObject::invokeMethod(object.get(), "click", Q_RETURN_ARG(bool, handled), Q_ARG(int, 7),
                              Q_ARG(int, 0), Q_ARG(int, 0));
    EXPECT_FALSE(handled);

    // A new scan: the view reloads, and a row that is gone is no longer selected.
    QSignalSpy resets(model, &QAbstractItemModel::modelReset);
    networks->rows.pop_back();
    networks->rowsChanged();
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(model->rowCount(), 2);
    object.reset();
    getRootComponent()->removeChild(networks);
}

namespace
{
// The floor plan of a room: takes speakers right of x = 50.
class Plan : public Component, public IDropTarget, public IDragSource
{
public:
    Plan() : Component("BridgePlan") {}
    void* queryInterface(const UID& iid) override
    {
        TESSEL_QUERY_INTERFACE(IDropTarget)
        TESSEL_QUERY_INTERFACE(IDragSource)
        return Component::queryInterface(iid);
    }
    int retain() override { return Component::retain(); }
    int release() override { return Component::release(); }
    bool dragEnter(const DragData& data, const DropPoint& point) override { return wants(data, point); }
    bool dragOver(const DragData& data, const DropPoint& point) override { return wants(data, point); }
    void dragLeave(const DragData&) override { log.push_back("leave"); }
    bool drop(const DragData& data, const DropPoint& point) override
    {
        log.push_back("drop " + std::to_string(int(point.x)) + "," + std::to_string(int(point.y)));
        return wants(data, point);
    }
    void dragEnded(const DragData& data, bool accepted) override
    {
        log.push_back(std::string(accepted ? "taken " : "not taken ") + std::to_string(data.countItems()));
    }
    bool wants(const DragData& data, const DropPoint& point) const
    {
        return data.getAttributes().getString("kind") == "speaker" && point.x >= 50;
    }
    std::vector<std::string> log;
};
} // namespace

TEST_F(Bridge, DropTargetPassesQtDragEventsToTheComponentAndTheSourceHearsTheEnd)
{
    auto* plan = new Plan;
    getRootComponent()->addChild(plan);
    auto root = makeQml("Item {\n"
                        "  width: 200; height: 100\n"
                        "  property DragSource source: DragSource { component: \"://roomdesk/BridgePlan\" }\n"
                        "  DropTarget { objectName: \"target\"; anchors.fill: parent\n"
                        "               component: \"://roomdesk/BridgePlan\" }\n"
                        "}");
    ASSERT_TRUE(root);
    QQuickWindow window;
    auto* rootItem = qobject_cast<QQuickItem*>(root.get());
    rootItem->setParentItem(window.contentItem());
    auto* target = root->findChild<QQuickItem*>("target");
    ASSERT_NE(target, nullptr);
    auto* source = root->property("source").value<QObject*>();
    ASSERT_NE(source, nullptr);

    bool started = false;
    const QStringList carried{"BridgeVenue", "Nowhere/At/All"}, justVenue{"BridgeVenue"};
    const QVariantMap speakerKind{{"kind", "speaker"}}, noValues;
    QMetaObject::invokeMethod(source, "start", Q_RETURN_ARG(bool, started), Q_ARG(QStringList, carried),
                              Q_ARG(QVariantMap, speakerKind), Q_ARG(QString, "groupNode"));
    ASSERT_TRUE(started);
    EXPECT_TRUE(source->property("active").toBool());
    EXPECT_EQ(DragSession::get().getData()->countItems(), 1);

    QMimeData mime;
    QDragEnterEvent enter(QPoint(10, 10), ::Qt::MoveAction, &mime, ::Qt::LeftButton, ::Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    EXPECT_TRUE(enter.isAccepted()); // so that the moves keep coming
    EXPECT_TRUE(target->property("containsDrag").toBool());
    EXPECT_FALSE(target->property("accepting").toBool());
    QDragMoveEvent move(QPoint(60, 10), ::Qt::MoveAction, &mime, ::Qt::LeftButton, ::Qt::NoModifier);
    QCoreApplication::sendEvent(target, &move);
    EXPECT_TRUE(target->property("accepting").toBool());
    QDropEvent drop(QPointF(70, 20), ::Qt::MoveAction, &mime, ::Qt::LeftButton, ::Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_FALSE(DragSession::get().isActive());
    EXPECT_EQ(plan->log, (std::vector<std::string>{"drop 70,20", "taken 1"}));
    QMetaObject::invokeMethod(source, "endNowhere"); // as the skin does on release: nothing more
    EXPECT_FALSE(source->property("active").toBool());
    EXPECT_EQ(plan->log.size(), 2u);

    // A drag let go where nobody takes it: the source hears it.
    plan->log.clear();
    QMetaObject::invokeMethod(source, "start", Q_RETURN_ARG(bool, started), Q_ARG(QStringList, justVenue),
                              Q_ARG(QVariantMap, noValues), Q_ARG(QString, QString()));
    QDragEnterEvent enterAgain(QPoint(90, 10), ::Qt::MoveAction, &mime, ::Qt::LeftButton, ::Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enterAgain);
    EXPECT_FALSE(target->property("accepting").toBool()); // not a speaker drag
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(target, &leave);
    QMetaObject::invokeMethod(source, "endNowhere");
    EXPECT_EQ(plan->log, (std::vector<std::string>{"leave", "not taken 1"}));
    EXPECT_FALSE(source->property("active").toBool());

    // Drags from elsewhere (no session) are not taken.
    QDragEnterEvent foreign(QPoint(90, 10), ::Qt::CopyAction, &mime, ::Qt::LeftButton, ::Qt::NoModifier);
    QCoreApplication::sendEvent(target, &foreign);
    EXPECT_FALSE(foreign.isAccepted());
    rootItem->setParentItem(nullptr);
    root.reset();
    getRootComponent()->removeChild(plan);
}

namespace
{
class Application : public Component
{
public:
    Application() : Component("Application") {}
    std::vector<std::string> heard;
    void notify(ISubject*, const Message& msg) override { heard.push_back(msg.getID()); }
};
} // namespace

TEST_F(Bridge, TheSystemSleepSignalReachesTheApplicationOnceEach)
{
    SystemPower::get().reset();
    auto* application = new Application;
    getRootComponent()->addChild(application);
    Tessel::Qt::SleepMonitor monitor; // without a system bus it just hears nothing
    // logind sends PrepareForSleep(true) before the sleep and (false) after the wake; Qt's own
    // application state may report the same sleep as well.
    monitor.prepareForSleep(true);
    monitor.prepareForSleep(true);
    monitor.prepareForSleep(false);
    monitor.prepareForSleep(false);
    EXPECT_EQ(application->heard, (std::vector<std::string>{"appSuspended", "appResumed"}));
    getRootComponent()->removeChild(application);
    SystemPower::get().reset();
}

// A readable socket wakes the event loop at once (no idle tick in between): the callback runs while
// the loop would otherwise sleep, again while data is left, never after unwatch.
TEST(DescriptorWatcher, AReadableSocketWakesTheLoopUntilUnwatched)
{
    int pair[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, pair), 0);
    Tessel::Qt::QtDescriptorWatcher watcher;
    int calls = 0;
    std::string received;
    ASSERT_TRUE(watcher.watch(pair[0],
                              [&]
                              {
                                  ++calls;
                                  char byte;
                                  if (::read(pair[0], &byte, 1) == 1) // one byte a call: the rest waits
                                      received += byte;
                              }));
    EXPECT_FALSE(watcher.watch(-1, [] {}));
    QTest::qWait(20);
    EXPECT_EQ(calls, 0) << "nothing to read, nothing called";

    ASSERT_EQ(::write(pair[1], "ab", 2), 2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return received == "ab"; }, 2000)) << "called again while data is left";

    watcher.unwatch(pair[0]);
    const int before = calls;
    ASSERT_EQ(::write(pair[1], "c", 1), 1);
    QTest::qWait(50);
    EXPECT_EQ(calls, before);
    watcher.unwatch(pair[0]); // twice: ignored
    ::close(pair[0]);
    ::close(pair[1]);
}
