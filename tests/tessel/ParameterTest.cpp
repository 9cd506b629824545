#include <cmath>

#include <gtest/gtest.h>

#include "tessel/AliasParam.h"
#include "tessel/ColorParam.h"
#include "tessel/CommandParam.h"
#include "tessel/Component.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/ListParam.h"
#include "tessel/MenuParam.h"
#include "tessel/StringParam.h"

using namespace Tessel;

namespace
{
// A controller that records what its parameters tell it.
class Recorder : public Component
{
public:
    std::vector<std::string> events;
    std::vector<ParamPreviewEvent> previews;

    void paramChanged(IParameter* param) override { events.push_back("changed " + param->getName()); }
    void paramEdit(IParameter* param, bool begin) override
    {
        events.push_back(std::string(begin ? "begin " : "end ") + param->getName() +
                         (param->isFlag(ParamFlags::kEditing) ? " editing" : " idle"));
    }
    void paramPreview(IParameter* param, const ParamPreviewEvent& event) override
    {
        previews.push_back(event);
    }
    bool interpretCommand(const CommandMsg& msg) override
    {
        events.push_back((msg.checkOnly ? "check " : "run ") + msg.category + "/" + msg.name);
        return true;
    }
};

// Counts "changed" messages.
class ViewCounter : public Object
{
public:
    int changes = 0;
    void notify(ISubject*, const Message& msg) override { changes += msg.is(Messages::kChanged); }
};

// Mimics the 32-bit float that carries normalised values between peers.
double throughFloat(double normalized)
{
    return double(float(normalized));
}

class SquareCurve : public Unknown, public IParamCurve
{
public:
    double normalizedToValue(double n) const override { return n * n * 100; }
    double valueToNormalized(double v) const override { return std::sqrt(v / 100); }
};

class DecibelFormatter : public Unknown, public IParamFormatter
{
public:
    std::string print(double value, const ParamValueRange&) const override
    {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.1f dB", value);
        return buffer;
    }
    std::optional<double> scan(const std::string& text, const ParamValueRange&) const override
    {
        char* end = nullptr;
        double v = std::strtod(text.c_str(), &end);
        if (end == text.c_str())
            return std::nullopt;
        return v;
    }
};
} // namespace

TEST(Parameter, FlagBitsHaveTheirFixedValues)
{
    EXPECT_EQ(ParamFlags::kBipolar, 0x008u);
    EXPECT_EQ(ParamFlags::kStorable, 0x040u);
    EXPECT_EQ(ParamFlags::kLinkable, 0x080u);
    EXPECT_EQ(ParamFlags::kPublic, 0x100u);
    EXPECT_EQ(ParamFlags::kMutable, 0x200u);
    EXPECT_EQ(ParamFlags::kReadOnly, 0x400u);
    EXPECT_EQ(ParamFlags::kEditing, 0x800u);
    EXPECT_EQ(ParamFlags::kViewHint, 0x1000u);
    AutoPtr<Parameter> p = Parameter::createToggle("p");
    p->setFlag(ParamFlags::kPublic | ParamFlags::kStorable, true);
    EXPECT_EQ(p->getFlags(), 0x140u);
    EXPECT_TRUE(p->isFlag(ParamFlags::kStorable | ParamFlags::kMutable)); // any bit of the mask
    EXPECT_FALSE(p->isFlag(ParamFlags::kMutable));
    p->setFlag(ParamFlags::kPublic, false);
    EXPECT_EQ(p->getFlags(), 0x040u);
}

TEST(Parameter, IntegerNormalisedRoundTripThroughFloatLosesNothing)
{
    AutoPtr<Parameter> p = Parameter::createInteger(-40, 150, "temperature_c");
    AutoPtr<Parameter> q = Parameter::createInteger(-40, 302, "temperature_f");
    for (Parameter* param : {p.get(), q.get()})
    {
        for (long long v = (long long)param->getMinimum(); v <= (long long)param->getMaximum(); ++v)
        {
            param->setNormalized(throughFloat(param->getValueNormalized(Variant(v))));
            ASSERT_EQ(param->getValue().asInt(), v) << param->getName();
        }
    }
}

TEST(Parameter, WholeNumbersFromNormalisedDropTheFractionOutsideTolerance)
{
    AutoPtr<Parameter> p = Parameter::createInteger(0, 10, "n");
    p->setNormalized(0.17); // 1.7
    EXPECT_EQ(p->getValue().asInt(), 1);
    p->setNormalized(0.29995); // 2.9995, within 0.001 of 3
    EXPECT_EQ(p->getValue().asInt(), 3);
    p->setValue(Variant(1.7)); // plain values always drop the fraction
    EXPECT_EQ(p->getValue().asInt(), 1);
    p->setValue(Variant(2.9999));
    EXPECT_EQ(p->getValue().asInt(), 2);
    p->setValue(Variant(99));
    EXPECT_EQ(p->getValue().asInt(), 10); // clamped
}

TEST(Parameter, NormalisedIsLinearWithoutCurveAndZeroForEmptyRange)
{
    AutoPtr<Parameter> p = Parameter::createFloat(-10, 10, "f");
    p->setValue(Variant(5.0));
    EXPECT_DOUBLE_EQ(p->getNormalized(), 0.75);
    p->setNormalized(0.25);
    EXPECT_DOUBLE_EQ(p->getValue().asDouble(), -5);
    p->setNormalized(7); // clamped to 1
    EXPECT_DOUBLE_EQ(p->getValue().asDouble(), 10);
    AutoPtr<Parameter> flat = Parameter::createFloat(3, 3, "flat");
    EXPECT_EQ(flat->getNormalized(), 0);
    EXPECT_EQ(flat->getValueNormalized(Variant(3.0)), 0);
}

TEST(Parameter, CurveAndFormatterPlugIn)
{
    AutoPtr<Parameter> p = Parameter::createFloat(0, 100, "gain");
    AutoPtr<SquareCurve> curve = new SquareCurve;
    AutoPtr<DecibelFormatter> formatter = new DecibelFormatter;
    p->setCurve(curve);
    p->setFormatter(formatter);
    p->setNormalized(0.5);
    EXPECT_DOUBLE_EQ(p->getValue().asDouble(), 25);
    EXPECT_DOUBLE_EQ(p->getValueNormalized(Variant(81.0)), 0.9);
    EXPECT_EQ(p->toString(), "25.0 dB");
    EXPECT_TRUE(p->fromString("-3 dB")); // clamped to the minimum
    EXPECT_DOUBLE_EQ(p->getValue().asDouble(), 0);
    EXPECT_FALSE(p->fromString("loud"));
}

TEST(Parameter, EnableNotifiesViewsOnlyOnAChange)
{
    AutoPtr<Parameter> p = Parameter::createToggle("mute");
    AutoPtr<ViewCounter> view = new ViewCounter;
    p->addObserver(view);
    p->enable(true);
    EXPECT_EQ(view->changes, 0);
    p->enable(false);
    p->enable(false);
    EXPECT_EQ(view->changes, 1);
    EXPECT_FALSE(p->isEnabled());
    p->enable(true);
    EXPECT_EQ(view->changes, 2);
    p->removeObserver(view);
}

TEST(Parameter, ControllerHearsOnlyNotifyingChangesButViewsHearAll)
{
    AutoPtr<Recorder> controller = new Recorder;
    Parameter* p = controller->getParams().addFloat(0, 1, "volume", 7);
    AutoPtr<ViewCounter> view = new ViewCounter;
    p->addObserver(view);
    EXPECT_EQ(p->getTag(), 7);
    EXPECT_EQ(p->getController(), static_cast<IUnknown*>(static_cast<IController*>(controller.get())));
    p->setNormalized(0.5, false);
    p->setValue(Variant(0.5)); // same value: nothing at all
    p->setValue(Variant(0.75));
    EXPECT_EQ(controller->events, (std::vector<std::string>{"changed volume"}));
    EXPECT_EQ(view->changes, 2);
    p->removeObserver(view);
}

TEST(Parameter, EditGestureSetsAndClearsTheEditingFlag)
{
    AutoPtr<Recorder> controller = new Recorder;
    Parameter* p = controller->getParams().addFloat(0, 1, "volume");
    p->beginEdit();
    EXPECT_TRUE(p->isFlag(ParamFlags::kEditing));
    p->beginEdit(); // nested begin: nothing more
    p->endEdit();
    EXPECT_FALSE(p->isFlag(ParamFlags::kEditing));
    p->endEdit(); // end without begin: nothing
    EXPECT_EQ(controller->events, (std::vector<std::string>{"begin volume editing", "end volume idle"}));
}

TEST(Parameter, PreviewsReachTheControllersHandlerAndLeaveTheValue)
{
    AutoPtr<Recorder> controller = new Recorder;
    Parameter* p = controller->getParams().addFloat(0, 10, "delay");
    p->setValue(Variant(2.0));
    p->preview({ParamPreviewEvent::kDragValue, 7.5});
    StringParam* name = controller->getParams().addString("name");
    name->preview({ParamPreviewEvent::kText, 0});
    ASSERT_EQ(controller->previews.size(), 2u);
    EXPECT_EQ(controller->previews[0].kind, 2);
    EXPECT_DOUBLE_EQ(controller->previews[0].value, 7.5);
    EXPECT_EQ(controller->previews[1].kind, 4);
    EXPECT_DOUBLE_EQ(p->getValue().asDouble(), 2.0);
}

TEST(Parameter, ToggleAndFloatTextForms)
{
    AutoPtr<Parameter> t = Parameter::createToggle("t");
    EXPECT_TRUE(t->fromString("On"));
    EXPECT_EQ(t->toString(), "On");
    EXPECT_TRUE(t->fromString("0"));
    EXPECT_EQ(t->toString(), "Off");
    EXPECT_FALSE(t->fromString("maybe"));
    AutoPtr<Parameter> f = Parameter::createFloat(-1, 1, "f");
    EXPECT_TRUE(f->fromString(" -0.25"));
    EXPECT_EQ(f->toString(), "-0.25");
    EXPECT_FALSE(f->fromString("0.5x"));
    EXPECT_FALSE(f->fromString("nan"));
}

TEST(ListParam, EntriesDefineTheRangeAndTheText)
{
    AutoPtr<ListParam> list = new ListParam("voicing");
    list->appendEntry("Flat");
    list->appendEntry("Speech");
    list->appendEntry("Music");
    EXPECT_EQ(list->getMax().asInt(), 2);
    EXPECT_TRUE(list->fromString("Music"));
    EXPECT_EQ(list->getValue().asInt(), 2);
    EXPECT_EQ(list->toString(), "Music");
    list->setValue(Variant("Speech"));
    EXPECT_EQ(list->getValue().asInt(), 1);
    list->setNormalized(throughFloat(list->getValueNormalized(Variant(2))));
    EXPECT_EQ(list->getValue().asInt(), 2);
    list->clearEntries();
    list->appendEntry("Only");
    EXPECT_EQ(list->getValue().asInt(), 0); // clamped into the new range
    EXPECT_EQ(list->getEntry(5), "");
}

TEST(StringParam, HoldsTextAndIgnoresNormalised)
{
    AutoPtr<Recorder> controller = new Recorder;
    StringParam* s = controller->getParams().addString("nickname");
    s->setValue(Variant("Stage left"));
    s->setNormalized(0.5);
    EXPECT_EQ(s->toString(), "Stage left");
    EXPECT_EQ(s->getNormalized(), 0);
    EXPECT_EQ(controller->events, (std::vector<std::string>{"changed nickname"}));
}

TEST(ColorParam, TextFormIsHashAndEightHexDigits)
{
    AutoPtr<ColorParam> c = new ColorParam("led");
    EXPECT_EQ(c->getType(), ParamType::kColor);
    c->setColor(0xFF3FA9F5);
    EXPECT_EQ(c->toString(), "#FF3FA9F5");
    EXPECT_TRUE(c->fromString("#102030"));
    EXPECT_EQ(c->getColor(), 0xFF102030u);
    EXPECT_FALSE(c->fromString("#12345"));
}

TEST(AliasParam, ForwardsToItsTargetAndRelaysChanges)
{
    AutoPtr<Recorder> owner = new Recorder;
    AutoPtr<Recorder> other = new Recorder;
    Parameter* target = owner->getParams().addInteger(0, 10, "level");
    AliasParam* alias = other->getParams().addAlias(target, "levelAlias");
    AutoPtr<ViewCounter> view = new ViewCounter;
    alias->addObserver(view);
    alias->setValue(Variant(4));
    EXPECT_EQ(target->getValue().asInt(), 4);
    EXPECT_EQ(alias->getType(), ParamType::kInteger);
    target->setValue(Variant(6));
    EXPECT_EQ(alias->getValue().asInt(), 6);
    EXPECT_EQ(view->changes, 2);
    EXPECT_EQ(alias->getOriginal(), static_cast<IParameter*>(target));
    EXPECT_EQ(owner->events, (std::vector<std::string>{"changed level", "changed level"}));
    EXPECT_EQ(other->events, (std::vector<std::string>{"changed levelAlias"}));
    alias->removeObserver(view);
}

TEST(CommandParam, InvokesItsCommandOnTheController)
{
    AutoPtr<Recorder> controller = new Recorder;
    CommandParam* c = controller->getParams().addCommand("Speaker", "Increase Volume", "volumeUp");
    EXPECT_TRUE(c->canInvoke());
    c->setValue(Variant(1));
    EXPECT_EQ(c->getValue().asInt(), 0);
    EXPECT_EQ(controller->events,
              (std::vector<std::string>{"check Speaker/Increase Volume", "run Speaker/Increase Volume"}));
}

TEST(MenuParam, InvokesTheChosenEntryOnItsHandler)
{
    AutoPtr<Recorder> controller = new Recorder;
    AutoPtr<Recorder> handler = new Recorder;
    MenuParam* menu = controller->getParams().addMenu("ssid");
    menu->setMenu({{"Home", "Network", "Join Home"}, {"Office", "Network", "Join Office"}}, handler);
    EXPECT_TRUE(menu->invokeMenuItem(1));
    EXPECT_FALSE(menu->invokeMenuItem(2));
    EXPECT_EQ(handler->events, (std::vector<std::string>{"run Network/Join Office"}));
}

TEST(ParamContainer, AddsNamedConnectedParametersAndRefusesDuplicates)
{
    HeadlessPlatform platform;
    AutoPtr<Recorder> controller = new Recorder;
    ParamContainer& params = controller->getParams();
    params.addFloat(-80, 10, "volume", 101);
    params.addInteger(0, 5, "mode", 102);
    ListParam* list = params.addList("voicing", 103);
    EXPECT_EQ(params.addString("volume"), nullptr);
    ASSERT_EQ(platform.getWarnings().size(), 1u); // refused with a word, not silently
    EXPECT_NE(platform.getWarnings()[0].find("\"volume\""), std::string::npos);
    EXPECT_EQ(params.count(), 3);
    EXPECT_EQ(params.lookupByTag(103), static_cast<IParameter*>(list));
    EXPECT_EQ(params.at(1)->getName(), "mode");
    EXPECT_EQ(params.lookup("volume")->getType(), ParamType::kFloat);
    // A removed parameter that someone still holds no longer calls its old controller.
    IParameter* mode = params.lookup("mode");
    mode->retain();
    EXPECT_TRUE(params.remove(mode));
    EXPECT_EQ(mode->getController(), nullptr);
    mode->setValue(Variant(3));
    mode->release();
    EXPECT_TRUE(controller->events.empty());
}
