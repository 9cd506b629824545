#include "tarnsim/Component.h"
#include "tarnsim/ListParam.h"
#include "tarnsim/NumericParam.h"
#include "tarnsim/SpeakerComponent.h"
#include "tarnsim/StringParam.h"
#include "tests/tarnsim/SimTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Core::Portable;
using Vellaris::Tarn::SpeakerComponent;

namespace
{

struct Recorder : IParamObserver
{
    std::vector<int> codes;
    void paramChanged(Parameter*, int code) override { codes.push_back(code); }
};

ParamDefinition numeric(uint32_t type, float min, float max, float def, float step = 1.0f)
{
    ParamDefinition d;
    d.type = type;
    std::strcpy(d.name, "p");
    d.min = min;
    d.max = max;
    d.defaultValue = def;
    d.step = step;
    return d;
}

class ParameterKinds : public ::testing::Test
{
protected:
    void SetUp() override { TestSupport::registerSimulatorFormatsOnce(); }
    // A speaker tree without network, for its parameters.
    SpeakerComponent speaker{nullptr, nullptr};
    Parameter& param(const char* componentPath, const char* name)
    {
        Component* component = speaker.findDescendant(componentPath);
        EXPECT_TRUE(component) << componentPath;
        Parameter* parameter = component ? component->findParameter(name) : nullptr;
        EXPECT_TRUE(parameter) << name;
        return *parameter;
    }
};

} // namespace

TEST_F(ParameterKinds, SetValueClampsTogglesAndDropsFractions)
{
    const ParamDefinition toggleDef = numeric(ParamDefinition::kToggle, 0, 1, 0);
    const ParamDefinition intDef = numeric(ParamDefinition::kInteger, -5, 5, 0);
    Recorder owner;
    NumericParam toggle(toggleDef, &owner, true);
    NumericParam integer(intDef, &owner, true);
    toggle.setValue(0.2f, false);
    EXPECT_EQ(toggle.getValue(), 1.0f);
    integer.setValue(3.9f, false);
    EXPECT_EQ(integer.getValue(), 3.0f);
    integer.setValue(-3.9f, false);
    EXPECT_EQ(integer.getValue(), -3.0f);
    integer.setValue(99.0f, false);
    EXPECT_EQ(integer.getValue(), 5.0f);
    owner.codes.clear();
    integer.setValue(5.4f, true);
    EXPECT_TRUE(owner.codes.empty()) << "an unchanged value notifies nobody";
    integer.setValue(1.0f, true);
    EXPECT_EQ(owner.codes, (std::vector<int>{2, 3})) << "perform, then the change";
    integer.setValue(2.0f, false);
    EXPECT_EQ(owner.codes.back(), 3);
}

TEST_F(ParameterKinds, RangeChangesCopyTheSharedDefinitionFirst)
{
    const ParamDefinition shared = numeric(ParamDefinition::kFloat, 0, 10, 5, 0.002f);
    Recorder owner, observer;
    NumericParam a(shared, &owner, true);
    NumericParam b(shared, &owner, true);
    a.addObserver(&observer);
    a.setMax(10.0f);
    EXPECT_FALSE(a.ownsDefinition()) << "an equal value changes nothing";
    a.setMax(4.0f);
    EXPECT_TRUE(a.ownsDefinition());
    EXPECT_EQ(shared.max, 10.0f);
    EXPECT_EQ(b.getMax(), 10.0f);
    EXPECT_EQ(a.getValue(), 4.0f) << "a new maximum below the value moves the value";
    EXPECT_EQ(owner.codes, (std::vector<int>{3})) << "moved without perform";
    observer.codes.clear();
    a.setDefault(1.0f);
    EXPECT_EQ(observer.codes, (std::vector<int>{3}));
    EXPECT_EQ(b.getDefault(), 5.0f);
}

TEST_F(ParameterKinds, FloatIncrementWalksTheNormalisedPositionAndStopsAtTheEnds)
{
    const ParamDefinition def = numeric(ParamDefinition::kFloat, 0, 1000, 0, 0.002f);
    Recorder owner;
    NumericParam p(def, &owner, true);
    p.increment(3);
    EXPECT_NEAR(p.getValue(), 6.0f, 1e-3f);
    EXPECT_EQ(owner.codes, (std::vector<int>{2, 3})) << "told once for several steps";
    p.setValue(1000.0f, false);
    owner.codes.clear();
    p.increment(1);
    EXPECT_TRUE(owner.codes.empty()) << "nothing happens at the end it moves towards";
    p.decrement(1);
    EXPECT_NEAR(p.getValue(), 998.0f, 1e-3f);

    const ParamDefinition intDef = numeric(ParamDefinition::kInteger, 0, 10, 5);
    NumericParam i(intDef, nullptr, false);
    i.increment(2);
    EXPECT_EQ(i.getValue(), 7.0f);
    i.decrement(20);
    EXPECT_EQ(i.getValue(), 0.0f);
}

TEST_F(ParameterKinds, FloatIncrementTakesTheDoubleStepWhenOneStepIsLost)
{
    // Around 2^24 floats are 2 apart: one step (0.8) rounds back to the same
    // value, two steps (1.6) reach the next float.
    const ParamDefinition def =
        numeric(ParamDefinition::kFloat, 16777216.0f, 16778216.0f, 16777216.0f, 0.0008f);
    NumericParam p(def, nullptr, false);
    p.increment(1);
    EXPECT_EQ(p.getValue(), 16777218.0f) << "a step lost to rounding is retried doubled";
}

TEST_F(ParameterKinds, NormalisedIntegersComeBackWhole)
{
    Parameter& celsius = param("", "temperature_c");
    for (int value = -18; value <= 100; ++value)
    {
        celsius.setValue(static_cast<float>(value), false);
        const float normalized = celsius.getNormalized();
        celsius.setValue(0.0f, false);
        celsius.setNormalized(normalized, false);
        ASSERT_EQ(celsius.getValue(), static_cast<float>(value));
    }
    Parameter& notchQ = param("line/ch1/notch", "notchq1");
    EXPECT_EQ(notchQ.getNormalized(), 0.0f) << "an empty range sends 0";
}

TEST_F(ParameterKinds, TextFormsFollowTheSimulatorsFormatters)
{
    EXPECT_EQ(param("", "temperature_c").text(), "17 C");
    EXPECT_EQ(param("line/ch1", "volume").text(), "0") << "\"gain\" is not registered here";
    Parameter& delay = param("line/ch1", "delay");
    delay.setValue(12.5f, false);
    EXPECT_EQ(delay.text(), "12.5 ms");
    EXPECT_EQ(param("line/ch1", "mute").text(), "Off");
    EXPECT_EQ(param("line/ch1/limit", "release").text(), "0.00") << "float up to 1 without formatter";
    EXPECT_EQ(param("", "clip").text(), "Off");
    EXPECT_EQ(param("", "contour").text(), "Normal");
    EXPECT_EQ(param("", "networklist").text(), "");
}

TEST_F(ParameterKinds, FromTextRules)
{
    Parameter& digitalIn = param("", "digitalin");
    digitalIn.fromText("dante", true);
    EXPECT_EQ(digitalIn.getValue(), 1.0f) << "entries match ignoring case";
    digitalIn.fromText("analog", true);
    EXPECT_EQ(digitalIn.getValue(), 2.0f);
    digitalIn.fromText("0", true);
    digitalIn.fromText("7", true);
    EXPECT_EQ(digitalIn.getValue(), 2.0f) << "an index is clamped";
    digitalIn.fromText("nonsense", true);
    EXPECT_EQ(digitalIn.getValue(), 2.0f);

    Parameter& mute = param("line/ch1", "mute");
    mute.fromText("On", true);
    EXPECT_EQ(mute.getValue(), 1.0f);
    Parameter& clip = param("", "clip");
    clip.fromText("On", true);
    EXPECT_EQ(clip.getValue(), 0.0f) << "no formatter: text is not read";
    Parameter& celsius = param("", "temperature_c");
    celsius.fromText("42 C", true);
    EXPECT_EQ(celsius.getValue(), 42.0f);
}

TEST_F(ParameterKinds, StringsAreCutAndEqualTextsChangeNothing)
{
    Parameter& nickname = param("", "nickname");
    EXPECT_FALSE(nickname.isNumeric());
    EXPECT_EQ(nickname.getNormalized(), 0.0f);
    nickname.setNormalized(1.0f, true);
    EXPECT_EQ(nickname.text(), "");
    nickname.fromText(std::string(300, 'n').c_str(), true);
    EXPECT_EQ(nickname.text().size(), 255u);

    Recorder observer;
    nickname.addObserver(&observer);
    nickname.fromText(std::string(255, 'n').c_str(), true);
    EXPECT_TRUE(observer.codes.empty());
    nickname.fromText("Hall", true);
    EXPECT_EQ(observer.codes, (std::vector<int>{3}));
}

TEST(ParameterObservers, AtMostFiveAreKept)
{
    const ParamDefinition def = numeric(ParamDefinition::kInteger, 0, 10, 0);
    NumericParam p(def, nullptr, false);
    Recorder observers[6];
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(p.addObserver(&observers[i]));
    EXPECT_FALSE(p.addObserver(&observers[5]));
    p.setValue(3, false);
    EXPECT_EQ(observers[4].codes.size(), 1u);
    EXPECT_TRUE(observers[5].codes.empty());
}

TEST(ListParameter, AWiderRangeNeverReadsBeyondTheTexts)
{
    static const char* const texts[] = {"Off", "Warm", "Bright"};
    ParamDefinition definition = numeric(ParamDefinition::kList, 0, 2, 0);
    definition.listTexts = texts;
    Recorder owner;
    ListParam list(definition, &owner, true);
    ASSERT_EQ(list.entryCount(), 3);

    list.setMax(7.0f);
    EXPECT_EQ(list.entryCount(), 3) << "the range grew, the texts did not";
    EXPECT_EQ(list.entry(5), nullptr);
    list.setValue(6.0f, false);
    char text[32] = "x";
    list.toText(text, sizeof text);
    EXPECT_STREQ(text, "") << "a value beyond the texts shows no text";
    list.fromText("Bright", false);
    EXPECT_EQ(list.getValue(), 2.0f);

    list.setMax(1.0f);
    EXPECT_EQ(list.entryCount(), 2) << "a narrower range hides the last texts";
    EXPECT_EQ(list.entry(2), nullptr);
}
