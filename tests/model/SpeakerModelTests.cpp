// The shipped model ("tarndefs.xml" with "tarndsp.xml", compiled in as resources) built into the
// speaker's component tree.

#include "ModelTestSupport.h"
#include "model/ModelParamCurve.h"
#include <cmath>

#include "tessel/AttributeList.h"
#include "tessel/ClassFactory.h"
#include "tessel/Initializer.h"

#ifdef MODEL_TESTS_HAVE_SPEAKER_CLASSES
#include "speaker/SpeakerClasses.h"
#include "speaker/TarnEqComponent.h"
#endif

using namespace modeltest;
using namespace Vellaris;

namespace
{

class SpeakerModel : public ModelTest
{
protected:
    SpeakerModel()
    {
#ifdef MODEL_TESTS_HAVE_SPEAKER_CLASSES
        registerSpeakerClasses();
#endif
        platform.clearRecords();
        EXPECT_TRUE(builder->load("resource:///tarndefs.xml"));
        speaker = build("Speaker");
    }

    Tessel::IParameter* param(const std::string& path) const
    {
        return speaker->lookupParameter(path);
    }

    UniversalComponent* speaker = nullptr;
};

void render(const Tessel::Component& component, const std::string& path, std::vector<std::string>& lines)
{
    for (int i = 0; i < component.countChildren(); ++i)
    {
        const Tessel::Component& child = *component.getChild(i);
        const std::string childPath = path.empty() ? child.getName() : path + "/" + child.getName();
        lines.push_back(childPath + "|" + child.getClassName() + "|" +
                        std::to_string(child.countParameters()));
        render(child, childPath, lines);
    }
}

std::vector<int> tags(const Tessel::Component& component)
{
    std::vector<int> result;
    for (int i = 0; i < component.countParameters(); ++i)
        result.push_back(component.getParameterAt(i)->getTag());
    return result;
}

} // namespace

TEST_F(SpeakerModel, BuildsTheSpeakerTreeWithoutAReport)
{
    EXPECT_EQ(speaker->countParameters(), 36);
    std::vector<std::string> lines;
    render(*speaker, "", lines);
#ifdef MODEL_TESTS_HAVE_SPEAKER_CLASSES
    const std::string input = "InputComponent", output = "OutputComponent", limiter = "LimiterComponent",
                      eq = "TarnEqComponent", geq = "GEQComponent", multi = "MultiLimiterComponent";
#else
    const std::string input = "UniversalComponent", output = input, limiter = input, eq = input, geq = input,
                      multi = input;
#endif
#ifdef MODEL_TESTS_HAVE_SPEAKER_CLASSES
    const int eqLocal = 5;
#else
    const int eqLocal = 0;
#endif
    std::vector<std::string> expected = {
        "line|UniversalComponent|0",
        "line/ch1|" + input + "|21",
        "line/ch1/limit|" + limiter + "|3",
        // The equalisers add "currentBand" and the four "selected…" aliases to the model's own.
        "line/ch1/eq|" + eq + "|" + std::to_string(49 + eqLocal),
        "line/ch1/notch|" + eq + "|" + std::to_string(33 + eqLocal),
        "line/ch1/geq|" + geq + "|34",
        "output|UniversalComponent|0",
    };
    for (int ch = 1; ch <= 4; ++ch)
    {
        const std::string path = "output/ch" + std::to_string(ch);
        expected.push_back(path + "|" + output + "|15");
        expected.push_back(path + "/multilimiter|" + multi + "|10");
    }
    EXPECT_EQ(lines, expected);
    EXPECT_TRUE(warnings().empty()) << warnings().front();
}

TEST_F(SpeakerModel, SpeakerParametersCountFromOneAndKeepTheStatusLedTags)
{
    std::vector<int> expected;
    for (int tag = 1; tag <= 34; ++tag)
        expected.push_back(tag);
    expected.push_back(100);
    expected.push_back(101);
    EXPECT_EQ(tags(*speaker), expected);
    EXPECT_EQ(speaker->getParameterAt(34)->getName(), "statusled1");
    EXPECT_EQ(speaker->getDisplayName("networkstatus"), "network status");
}

TEST_F(SpeakerModel, InputChannelPutsItsOwnParametersFirst)
{
    const Tessel::Component* channel = speaker->lookupChild("line/ch1");
    ASSERT_TRUE(channel);
    std::vector<int> expected = {100, 101, 102, 103, 104, 105, 106};
    for (int tag = 1; tag <= 14; ++tag)
        expected.push_back(tag);
    EXPECT_EQ(tags(*channel), expected);
    EXPECT_EQ(channel->getParameterAt(0)->getName(), "amplevel1");
    EXPECT_EQ(channel->getParameterAt(7)->getName(), "volume");
    EXPECT_EQ(channel->getParameterAt(20)->getName(), "contourpolarity");
    EXPECT_EQ(speaker->lookupChild("output/ch4")->getParameterAt(0)->getTag(), 200);
}

TEST_F(SpeakerModel, ParametersCarryTheirRangesDefaultsFormattersAndCurves)
{
    Tessel::IParameter* freq = param("line/ch1/eq/eqfreq3");
    ASSERT_TRUE(freq);
    EXPECT_EQ(freq->getDefaultValue().asDouble(), 240);
    EXPECT_EQ(freq->getMin().asDouble(), 20);
    EXPECT_EQ(freq->getMax().asDouble(), 20000);
    EXPECT_EQ(freq->toString(), "240.0 Hz");
    auto* curve = dynamic_cast<ModelParamCurve*>(freq->getCurve());
    ASSERT_TRUE(curve);
    EXPECT_NEAR(curve->normalizedToValue(0.5), std::sqrt(20.0 * 20000.0), 0.5); // logarithmic

    Tessel::IParameter* temperature = param("temperature_c");
    EXPECT_EQ(temperature->getType(), Tessel::ParamType::kInteger);
    EXPECT_EQ(temperature->getMin().asInt(), -18);
    EXPECT_EQ(temperature->getMax().asInt(), 100);
    EXPECT_EQ(temperature->getDefaultValue().asInt(), 17);

    Tessel::IParameter* volume = param("line/ch1/volume");
    EXPECT_EQ(volume->toString(), "0.00 dB");
    EXPECT_NEAR(volume->getValueNormalized(Tessel::Variant(-9.0)), 0.5, 1e-4);

    Tessel::IParameter* contour = param("contour");
    EXPECT_EQ(contour->countEntries(), 3);
    EXPECT_EQ(contour->getEntry(2), "Floor Monitor");
    EXPECT_EQ(contour->getFormatter(), nullptr);
    EXPECT_TRUE(contour->isFlag(Tessel::ParamFlags::kStorable));
    EXPECT_TRUE(contour->isFlag(Tessel::ParamFlags::kMutable));

    EXPECT_EQ(
        param("line/ch1/geq/gain1")->getFlags() &
            (Tessel::ParamFlags::kBipolar | Tessel::ParamFlags::kStorable | Tessel::ParamFlags::kPublic),
        Tessel::ParamFlags::kBipolar | Tessel::ParamFlags::kStorable | Tessel::ParamFlags::kPublic);
    EXPECT_EQ(param("output/ch1/multilimiter/ratio")->getSteps(), 100);
}

TEST_F(SpeakerModel, SwitchesWithEmptyFlagsArePublicAndPrivateOnesAreLocal)
{
    for (const char* path : {"line/ch1/eq/eqallon", "line/ch1/notch/notchallon"})
    {
        Tessel::IParameter* p = param(path);
        ASSERT_TRUE(p) << path;
        EXPECT_TRUE(p->isFlag(Tessel::ParamFlags::kPublic)) << path;
        EXPECT_FALSE(p->isFlag(Tessel::ParamFlags::kStorable)) << path;
    }
    EXPECT_FALSE(param("networkstatus")->isFlag(Tessel::ParamFlags::kPublic));
    EXPECT_FALSE(param("line/ch1/hwtrim")->isFlag(Tessel::ParamFlags::kPublic));
}

#ifdef MODEL_TESTS_HAVE_SPEAKER_CLASSES
TEST_F(SpeakerModel, EqualisersReceiveTheirBandLayouts)
{
    auto* eq = Tessel::classCast<TarnEqComponent>(speaker->lookupChild("line/ch1/eq"));
    auto* notch = Tessel::classCast<TarnEqComponent>(speaker->lookupChild("line/ch1/notch"));
    ASSERT_TRUE(eq && notch);
    EXPECT_EQ(eq->getClassData().getInt("numBands"), 8);
    EXPECT_EQ(eq->getClassData().getString("active"), "eqallon");
    ASSERT_TRUE(eq->getClassData().getList("bands"));
    EXPECT_EQ(eq->getClassData().getList("bands")->attributesAt(2)->getString("freq"), "eqfreq3");
    EXPECT_EQ(eq->getClassData().getList("biquads")->at(3).asString(), "Peaking");
    EXPECT_EQ(notch->getClassData().getString("active"), "notchallon");
    ASSERT_TRUE(notch->getClassData().getAttributes("defaults"));
    EXPECT_EQ(notch->getClassData().getAttributes("defaults")->getInt("q"), 24);
    EXPECT_EQ(notch->getClassData().getAttributes("displayRange")->getInt("minLevel"), -48);
}

TEST_F(SpeakerModel, StartUpRegistersTheClassesAndLoadsTheProcessWideModel)
{
    Tessel::runInitializers();
    EXPECT_TRUE(UniversalComponentBuilder::getGlobal().getModel().findTemplate("Speaker"));
    EXPECT_TRUE(UniversalComponentBuilder::getGlobal().getModel().findTemplate("MasterGEQ"));
    for (const char* name :
         {"InputComponent", "OutputComponent", "LimiterComponent", "EQComponent", "MultiLimiterComponent",
          "GEQComponent", "TarnEqComponent", "EqCompositeComponent"})
    {
        const Tessel::MetaClass* metaClass = Tessel::ClassFactory::findClass(name);
        ASSERT_TRUE(metaClass) << name;
        EXPECT_TRUE(metaClass->isKindOf(UniversalComponent::metaClass)) << name;
    }
    EXPECT_TRUE(Tessel::ClassFactory::findClass("TarnEqComponent")->isKindOf("EQComponent"));
    EXPECT_TRUE(Tessel::ClassFactory::findClass("EqCompositeComponent")->isKindOf("EQComponent"));
    EXPECT_TRUE(Tessel::ClassFactory::findClass("UniversalComponentBuilder")->isKindOf("ComponentBuilder"));
}
#endif

TEST_F(SpeakerModel, OtherTemplatesBuildTheirTrees)
{
    root = new UniversalComponent;
    builder->buildTemplate(root, "CompositeEQ", UniversalComponent::metaClass);
    ASSERT_EQ(childNames(*root), (std::vector<std::string>{"compeq"}));
#ifdef MODEL_TESTS_HAVE_SPEAKER_CLASSES
    // The model gives the composite no parameters; the equaliser adds its five local ones.
    EXPECT_EQ(root->getChild(0)->countParameters(), 5);
#else
    EXPECT_EQ(root->getChild(0)->countParameters(), 0);
#endif
    root = new UniversalComponent;
    builder->buildTemplate(root, "MasterGEQ", UniversalComponent::metaClass);
    ASSERT_EQ(childNames(*root), (std::vector<std::string>{"geq"}));
    EXPECT_EQ(root->getChild(0)->countParameters(), 34);
    EXPECT_TRUE(warnings().empty());
}
