#include <gtest/gtest.h>

#include "tessel/AliasParam.h"
#include "tessel/Component.h"
#include "tessel/Parameter.h"

using namespace Tessel;

namespace
{
// A view of one parameter: records the messages it gets and follows a replacement as the QML
// bridge does.
class ParamView : public Object
{
public:
    std::vector<std::string> log;
    SharedPtr<IParameter> shown;

    void show(IParameter* param)
    {
        if (shown)
            unknownCast<ISubject>(shown.get())->removeObserver(this);
        shown = Tessel::retained(param);
        if (shown)
            unknownCast<ISubject>(shown.get())->addObserver(this);
    }
    void notify(ISubject*, const Message& msg) override
    {
        log.push_back(msg.getID() + (shown->isFlag(ParamFlags::kEditing) ? " editing" : ""));
        if (msg.is(Messages::kReplaced))
            show(msg.getArg(0).asInterface<IParameter>());
    }

protected:
    ~ParamView() override
    {
        if (shown)
            unknownCast<ISubject>(shown.get())->removeObserver(this);
    }
};

class EditRecorder : public Component
{
public:
    std::vector<std::string> events;
    void paramChanged(IParameter* param) override { events.push_back("changed " + param->getName()); }
    void paramEdit(IParameter* param, bool begin) override
    {
        events.push_back(std::string(begin ? "begin " : "end ") + param->getName());
    }
};
} // namespace

TEST(ParamNotifications, EditGesturesReachViewsAfterTheController)
{
    AutoPtr<EditRecorder> owner = new EditRecorder;
    Parameter* volume = owner->getParams().addFloat(-80, 10, "volume");
    AutoPtr<ParamView> view = new ParamView;
    view->show(volume);
    volume->beginEdit();
    volume->beginEdit(); // nested: nothing more
    volume->setValue(Variant(-6.0));
    volume->endEdit();
    volume->endEdit(); // without begin: nothing
    EXPECT_EQ(owner->events, (std::vector<std::string>{"begin volume", "changed volume", "end volume"}));
    EXPECT_EQ(view->log, (std::vector<std::string>{"beginEdit editing", "changed editing", "endEdit"}));
}

TEST(ParamNotifications, ReplacedParameterTakesThePlaceAndTagAndViewsFollow)
{
    AutoPtr<EditRecorder> room = new EditRecorder;
    room->getParams().addFloat(0, 1, "first", 100);
    Parameter* oldMax = room->getParams().addFloat(-80, 10, "maxVolume", 101);
    room->getParams().addFloat(0, 1, "last", 102);
    AutoPtr<ParamView> view = new ParamView;
    view->show(oldMax);
    SharedPtr<IParameter> keptOld(oldMax);

    Parameter* newMax = Parameter::createFloat(-60, 0, "maxVolume");
    ASSERT_EQ(room->getParams().replace(oldMax, newMax), newMax);
    EXPECT_EQ(room->getParams().at(1), newMax);
    EXPECT_EQ(room->getParams().count(), 3);
    EXPECT_EQ(newMax->getTag(), 101);
    EXPECT_EQ(room->findParameter("maxVolume"), newMax);
    // The old one no longer reports to the room; the new one does.
    EXPECT_EQ(keptOld->getController(), nullptr);
    keptOld->setValue(Variant(-3.0));
    newMax->setValue(Variant(-10.0));
    EXPECT_EQ(room->events, (std::vector<std::string>{"changed maxVolume"}));
    // The view moved to the new parameter and hears its changes, not the old one's.
    EXPECT_EQ(view->shown.get(), newMax);
    EXPECT_EQ(view->log, (std::vector<std::string>{"replaced", "changed"}));
}

TEST(ParamNotifications, ReplaceRefusesWhatWouldBreakTheContainer)
{
    AutoPtr<EditRecorder> room = new EditRecorder;
    Parameter* a = room->getParams().addFloat(0, 1, "a");
    room->getParams().addFloat(0, 1, "b");
    // Not in this container.
    AutoPtr<Parameter> stranger = Parameter::createFloat(0, 1, "a");
    EXPECT_EQ(room->getParams().replace(stranger, Parameter::createFloat(0, 1, "c")), nullptr);
    // The new name is another parameter's.
    EXPECT_EQ(room->getParams().replace(a, Parameter::createFloat(0, 1, "b")), nullptr);
    EXPECT_EQ(room->getParams().at(0), a);
    EXPECT_EQ(room->getParams().count(), 2);
    // A parameter replaced by itself stays.
    a->retain();
    EXPECT_EQ(room->getParams().replace(a, a), nullptr);
    EXPECT_EQ(room->getParams().at(0), a);
    EXPECT_EQ(a->getController(), static_cast<IUnknown*>(static_cast<Object*>(room.get())));
}

TEST(ParamNotifications, AliasFollowsItsReplacedTarget)
{
    AutoPtr<EditRecorder> room = new EditRecorder;
    Parameter* oldMax = room->getParams().addFloat(-80, 10, "maxVolume");
    AutoPtr<EditRecorder> inspector = new EditRecorder;
    AliasParam* alias = inspector->getParams().addAlias(oldMax, "roomMax");
    Parameter* newMax = Parameter::createFloat(-60, 0, "maxVolume");
    newMax->setValue(Variant(-12.0));
    room->getParams().replace(oldMax, newMax);
    EXPECT_EQ(alias->getTarget(), newMax);
    EXPECT_DOUBLE_EQ(alias->getValue().asDouble(), -12.0);
}
