#include <map>

#include <gtest/gtest.h>

#include "tessel/Application.h"
#include "tessel/CommandMsg.h"
#include "tessel/Component.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/StringParam.h"
#include "tessel/UndoHistory.h"

using namespace Tessel;

namespace
{
// A component whose parameters count for undo, recording what its parameters tell it.
class Desk : public Component
{
public:
    explicit Desk(const std::string& name = "Desk", const std::string& title = {}) : Component(name, title)
    {
        level = getParams().addFloat(-80, 10, "level");
        gain = getParams().addFloat(-12, 12, "gain");
        label = getParams().addString("roomTitle");
        local = getParams().addFloat(0, 1, "scroll");
        for (IParameter* param : {(IParameter*)level, (IParameter*)gain, (IParameter*)label})
            param->setFlag(ParamFlags::kUndoable, true);
    }
    void paramChanged(IParameter* param) override { events.push_back("changed " + param->getName()); }
    void paramEdit(IParameter* param, bool begin) override
    {
        events.push_back((begin ? "begin " : "end ") + param->getName());
    }

    Parameter* level;
    Parameter* gain;
    StringParam* label;
    Parameter* local;
    std::vector<std::string> events;
};

struct Fixture
{
    HeadlessPlatform platform;
    UndoHistory history;
    AutoPtr<Desk> desk = new Desk("Desk", "Main Hall");

    Fixture() { setUndoHistory(&history); }
    ~Fixture() { setUndoHistory(nullptr); }

    // A drag of `param` through `values`, as a control does it.
    void drag(IParameter* param, std::initializer_list<double> values)
    {
        param->beginEdit();
        for (double value : values)
            param->setValue(Variant(value), true);
        param->endEdit();
    }
    double value(IParameter* param) const { return param->getValue().asDouble(); }
};

// Devices that come and go: parameters below a device are keyed by its name and their path.
class DeviceLocator : public IUndoParamLocator
{
public:
    std::map<std::string, Component*> devices; // borrowed
    std::map<std::string, std::map<std::string, Variant>> offline;
    bool keepsOffline = true;

    Claim identify(IParameter* param, UndoParamKey& key, std::string& label) override
    {
        for (auto& [name, device] : devices)
            for (int i = 0; i < device->countParameters(); ++i)
                if (device->getParameterAt(i) == param)
                {
                    key.owner = name;
                    key.path = param->getName();
                    label = param->getName() + " " + name;
                    return Claim::Record;
                }
        return Claim::NotMine;
    }
    IParameter* resolve(const UndoParamKey& key) override
    {
        auto it = devices.find(key.owner);
        return it == devices.end() ? nullptr : it->second->findParameter(key.path);
    }
    bool storeOffline(const UndoParamKey& key, const Variant& value) override
    {
        if (!keepsOffline)
            return false;
        offline[key.owner][key.path] = value;
        return true;
    }
};

Component* makeDevice()
{
    auto* device = new Component("Device");
    Parameter* volume = device->getParams().addFloat(-80, 10, "volume");
    volume->setFlag(ParamFlags::kPublic, true);
    return device;
}

class Marker : public UndoCommand
{
public:
    explicit Marker(std::vector<std::string>& log) : log(log) {}
    void undo(std::string& notice) override { log.push_back("undo marker"); }
    void redo(std::string& notice) override { log.push_back("redo marker"); }
    std::vector<std::string>& log;
};
} // namespace

TEST(UndoHistory, OneGestureIsOneStepThatRestoresTheValueBeforeIt)
{
    Fixture f;
    f.drag(f.desk->level, {-10, -20, -30});
    ASSERT_EQ(f.history.countUndoSteps(), 1u);
    EXPECT_EQ(f.history.getUndoName(), "Level Main Hall");

    ASSERT_TRUE(f.history.undo());
    EXPECT_EQ(f.value(f.desk->level), -80);
    EXPECT_EQ(f.history.getRedoName(), "Level Main Hall");
    EXPECT_FALSE(f.history.canUndo());
    ASSERT_TRUE(f.history.redo());
    EXPECT_EQ(f.value(f.desk->level), -30);
    EXPECT_FALSE(f.history.canRedo());
}

TEST(UndoHistory, ReplayGoesThroughAnEditGestureAndIsNotRecordedAgain)
{
    Fixture f;
    f.drag(f.desk->level, {-6});
    f.desk->events.clear();
    f.history.undo();
    EXPECT_EQ(f.desk->events, (std::vector<std::string>{"begin level", "changed level", "end level"}));
    EXPECT_EQ(f.history.countUndoSteps(), 0u);
    EXPECT_EQ(f.history.countRedoSteps(), 1u);
    f.history.redo();
    EXPECT_EQ(f.history.countUndoSteps(), 1u);
    EXPECT_EQ(f.history.countRedoSteps(), 0u);
}

TEST(UndoHistory, LooseChangesMergeWhileTheyComeWithLessThanHalfASecondOfRest)
{
    Fixture f;
    // A wheel burst: notifying changes without a gesture.
    f.desk->level->setValue(Variant(-70.0), true);
    f.platform.advance(400);
    f.desk->level->setValue(Variant(-60.0), true);
    f.platform.advance(499);
    f.desk->level->setValue(Variant(-50.0), true);
    EXPECT_EQ(f.history.countUndoSteps(), 1u);
    // Rest: the next turn is a step of its own.
    f.platform.advance(500);
    f.desk->level->setValue(Variant(-40.0), true);
    EXPECT_EQ(f.history.countUndoSteps(), 2u);
    // Another parameter in between keeps the bursts apart.
    f.desk->gain->setValue(Variant(3.0), true);
    f.desk->level->setValue(Variant(-30.0), true);
    EXPECT_EQ(f.history.countUndoSteps(), 4u);

    f.history.undo();
    f.history.undo();
    f.history.undo();
    EXPECT_EQ(f.value(f.desk->level), -50);
    EXPECT_EQ(f.value(f.desk->gain), -12);
    f.history.undo();
    EXPECT_EQ(f.value(f.desk->level), -80);
}

TEST(UndoHistory, TransactionsNestIntoOneStepNamedByTheOutermost)
{
    Fixture f;
    {
        UndoTransaction outer("Room Volume Main Hall");
        f.drag(f.desk->level, {-20});
        {
            UndoTransaction inner("Inner");
            f.desk->gain->setValue(Variant(6.0), true);
        }
        EXPECT_TRUE(f.history.isRecordingStep());
        f.desk->level->setValue(Variant(-10.0), true);
    }
    ASSERT_EQ(f.history.countUndoSteps(), 1u);
    EXPECT_EQ(f.history.getUndoName(), "Room Volume Main Hall");
    f.history.undo();
    EXPECT_EQ(f.value(f.desk->level), -80);
    EXPECT_EQ(f.value(f.desk->gain), -12);
    f.history.redo();
    EXPECT_EQ(f.value(f.desk->level), -10);
    EXPECT_EQ(f.value(f.desk->gain), 6);

    // A transaction that changes nothing leaves no step.
    {
        UndoTransaction empty("Nothing");
    }
    EXPECT_EQ(f.history.countUndoSteps(), 1u);
}

TEST(UndoHistory, CommandsReplayInOrderWithTheParameterChangesOfTheirStep)
{
    Fixture f;
    std::vector<std::string> log;
    {
        UndoTransaction place("Place Speaker 987654321");
        f.history.record(AutoPtr<Marker>(new Marker(log)), "Marker");
        f.desk->level->setValue(Variant(-3.0), true);
    }
    f.history.undo();
    EXPECT_EQ(log, (std::vector<std::string>{"undo marker"}));
    EXPECT_EQ(f.value(f.desk->level), -80);
    f.history.redo();
    EXPECT_EQ(log, (std::vector<std::string>{"undo marker", "redo marker"}));
    // A command recorded outside a transaction is a step under its own name.
    f.history.record(AutoPtr<Marker>(new Marker(log)), "Rename Venue");
    EXPECT_EQ(f.history.getUndoName(), "Rename Venue");
}

TEST(UndoHistory, KeepsTwoHundredStepsAndDropsTheOldest)
{
    Fixture f;
    for (int i = 1; i <= 205; ++i)
    {
        f.drag(f.desk->gain, {-12.0 + i * 0.1});
        f.platform.advance(600);
    }
    EXPECT_EQ(f.history.countUndoSteps(), UndoHistory::kDefaultDepth);
    while (f.history.undo())
    {
    }
    // The five oldest steps are gone: undo stops at the value the sixth one started from.
    EXPECT_NEAR(f.value(f.desk->gain), -12.0 + 5 * 0.1, 1e-9);
}

TEST(UndoHistory, ANewEditAfterUndoDropsTheStepsThatWereTakenBack)
{
    Fixture f;
    f.drag(f.desk->level, {-10});
    f.platform.advance(600);
    f.drag(f.desk->level, {-5});
    f.history.undo();
    ASSERT_TRUE(f.history.canRedo());
    f.drag(f.desk->gain, {1});
    EXPECT_FALSE(f.history.canRedo());
    EXPECT_EQ(f.history.getRedoName(), "");
    f.history.undo();
    f.history.undo();
    EXPECT_EQ(f.value(f.desk->level), -80);
}

TEST(UndoHistory, ChangesFromTheNetworkAndUncountedParametersAreNeverRecorded)
{
    Fixture f;
    f.desk->level->setValue(Variant(-40.0), false); // as the mirror applies a speaker's value
    f.desk->local->setValue(Variant(0.5), true);    // a desk parameter not marked undoable
    {
        UndoHistory::Suspend quiet; // stored settings pushed onto a speaker
        f.desk->gain->setValue(Variant(2.0), true);
    }
    EXPECT_EQ(f.history.countUndoSteps(), 0u);
    EXPECT_FALSE(f.history.canUndo());
}

TEST(UndoHistory, AChangeFromElsewhereAfterTheEditStillGetsThisDesksValueBackAndIsReported)
{
    Fixture f;
    f.drag(f.desk->level, {-10});
    f.desk->level->setValue(Variant(-3.0), false); // another desk moved it since
    EXPECT_EQ(f.history.countUndoSteps(), 1u);
    f.history.undo();
    EXPECT_EQ(f.value(f.desk->level), -80);
    EXPECT_NE(f.history.getStatus().find("changed elsewhere"), std::string::npos) << f.history.getStatus();

    f.history.redo();
    EXPECT_EQ(f.history.getStatus(), "Redone: Level Main Hall");
}

TEST(UndoHistory, ADeviceThatLeftAndCameBackIsFoundByItsKey)
{
    Fixture f;
    DeviceLocator locator;
    f.history.addLocator(&locator);
    AutoPtr<Component> first = makeDevice();
    AutoPtr<Component> second = makeDevice();
    locator.devices = {{"111", first.get()}, {"222", second.get()}};
    {
        UndoTransaction all("Room Volume Main Hall");
        first->findParameter("volume")->setValue(Variant(-6.0), true);
        second->findParameter("volume")->setValue(Variant(-6.0), true);
        f.desk->level->setValue(Variant(-6.0), true);
    }
    // 111 comes back with a new tree; 222 is off the network.
    AutoPtr<Component> rebuilt = makeDevice();
    rebuilt->findParameter("volume")->setValue(Variant(-6.0), false);
    locator.devices = {{"111", rebuilt.get()}};
    f.history.undo();
    EXPECT_EQ(rebuilt->findParameter("volume")->getValue().asDouble(), -80);
    EXPECT_EQ(locator.offline["222"]["volume"].asDouble(), -80);
    EXPECT_EQ(f.value(f.desk->level), -80);
    EXPECT_NE(f.history.getStatus().find("222 is off the network"), std::string::npos)
        << f.history.getStatus();

    // Nowhere to keep the value: that part is skipped and named, the rest applies.
    locator.devices.clear();
    locator.keepsOffline = false;
    f.history.redo();
    EXPECT_EQ(f.value(f.desk->level), -6);
    EXPECT_NE(f.history.getStatus().find("volume 222 skipped"), std::string::npos) << f.history.getStatus();
    f.history.removeLocator(&locator);
}

TEST(UndoHistory, AGestureWhoseParameterWentDoesNotHoldTheHistoryOpen)
{
    Fixture f;
    AutoPtr<Desk> gone = new Desk;
    gone->level->beginEdit();
    gone->level->setValue(Variant(-1.0), true);
    gone = nullptr; // the component and its parameters go while the control is held
    EXPECT_FALSE(f.history.isRecordingStep());
    EXPECT_EQ(f.history.countUndoSteps(), 1u);
    f.drag(f.desk->gain, {4});
    EXPECT_EQ(f.history.countUndoSteps(), 2u);
    // Undoing the step of the parameter that went skips it with a notice.
    f.history.undo();
    f.history.undo();
    EXPECT_NE(f.history.getStatus().find("skipped"), std::string::npos);
}

TEST(UndoHistory, TheApplicationPublishesUndoAndRedoWithTheStepNames)
{
    HeadlessPlatform platform;
    auto* application = new Application; // adds itself below the root
    UndoHistory* history = GetUndoHistory();
    ASSERT_NE(history, nullptr);
    IParameter* undo = application->findParameter("undo");
    IParameter* redo = application->findParameter("redo");
    IParameter* undoName = application->findParameter("undoName");
    ASSERT_TRUE(undo && redo && undoName && application->findParameter("redoName"));
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_TRUE(undoName->isFlag(ParamFlags::kReadOnly));
    EXPECT_FALSE(application->interpretCommand({"Edit", "Undo", true}));

    AutoPtr<Desk> desk = new Desk("Desk", "Main Hall");
    desk->level->beginEdit();
    desk->level->setValue(Variant(-12.0), true);
    desk->level->endEdit();
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(undoName->toString(), "Level Main Hall");

    undo->setValue(Variant(1), true); // as OSC or a button invokes it
    EXPECT_EQ(desk->level->getValue().asDouble(), -80);
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_TRUE(redo->isEnabled());
    EXPECT_EQ(application->findParameter("redoName")->toString(), "Level Main Hall");
    EXPECT_EQ(application->findParameter("undoStatus")->toString(), "Undone: Level Main Hall");
    EXPECT_TRUE(application->interpretCommand({"Edit", "Redo"}));
    EXPECT_EQ(desk->level->getValue().asDouble(), -12);
    desk = nullptr;
    destroyRootComponent();
    EXPECT_EQ(GetUndoHistory(), nullptr);
}
