// The component trees the templates build, and the class data the equaliser
// components receive with them.

#include "TestModel.h"
#include "TinyJson.h"

#include <gtest/gtest.h>

#include <set>

using namespace modeldata;

namespace
{

// One line per component: "path|classname|parameter count|classdata".
void render(const BuiltComponent& component, const std::string& path, std::vector<std::string>& lines)
{
    lines.push_back(path + "|" + component.classname + "|" + std::to_string(component.params.size()) + "|" +
                    component.classdata);
    for (const BuiltComponent& child : component.children)
        render(child, path.empty() ? child.name : path + "/" + child.name, lines);
}

BuiltComponent build(const std::string& templateId)
{
    BuiltComponent root;
    std::vector<std::string> problems;
    shippedModel().buildTemplate(templateId, root, problems);
    EXPECT_TRUE(problems.empty()) << templateId << ": " << (problems.empty() ? "" : problems.front());
    return root;
}

std::vector<std::string> paramIds(const BuiltComponent& component)
{
    std::vector<std::string> ids;
    for (const EffectiveParam& p : component.params)
        ids.push_back(p.id);
    return ids;
}

JsonValue classData(const std::string& id)
{
    JsonValue value;
    std::string error;
    const XmlNode* block = shippedModel().data(id);
    EXPECT_TRUE(block) << id;
    if (block)
    {
        EXPECT_TRUE(parseJson(block->text, value, error)) << id << ": " << error;
    }
    return value;
}

std::vector<std::string> stringsOf(const JsonValue* array)
{
    std::vector<std::string> texts;
    if (array)
    {
        for (const JsonValue& element : array->array)
            texts.push_back(element.string);
    }
    return texts;
}

std::vector<double> displayRange(const JsonValue& data)
{
    const JsonValue* range = data.member("displayRange");
    if (!range)
        return {};
    std::vector<double> values;
    for (const char* key : {"minFreq", "maxFreq", "minLevel", "maxLevel"})
        values.push_back(range->member(key) ? range->member(key)->number : -1e9);
    return values;
}

// The band records of a layout, each as "key=value" pairs in order.
std::vector<std::string> bandsOf(const JsonValue& data)
{
    std::vector<std::string> bands;
    if (const JsonValue* array = data.member("bands"))
    {
        for (const JsonValue& band : array->array)
        {
            std::string text;
            for (const auto& [key, value] : band.object)
                text += (text.empty() ? "" : " ") + key + "=" + value.string;
            bands.push_back(text);
        }
    }
    return bands;
}

std::vector<std::string> eq8Bands()
{
    std::vector<std::string> bands;
    for (int n = 1; n <= 8; ++n)
    {
        const std::string b = std::to_string(n);
        bands.push_back("type=eqtype" + b + " gain=eqgain" + b + " q=eqq" + b + " freq=eqfreq" + b +
                        " active=eqbandon" + b);
    }
    return bands;
}

std::vector<std::string> notchBands()
{
    std::vector<std::string> bands;
    for (int n = 1; n <= 8; ++n)
    {
        const std::string b = std::to_string(n);
        bands.push_back("gain=notchgain" + b + " freq=notchfreq" + b + " active=notchbandon" + b);
    }
    return bands;
}

// Every parameter a layout names exists among the given ids.
void expectLayoutNamesExist(const JsonValue& data, const std::vector<std::string>& ids,
                            const std::string& what)
{
    const std::set<std::string> known(ids.begin(), ids.end());
    ASSERT_TRUE(data.member("active")) << what;
    EXPECT_TRUE(known.count(data.member("active")->string)) << what << " active";
    const JsonValue* bands = data.member("bands");
    ASSERT_TRUE(bands) << what;
    EXPECT_EQ(static_cast<double>(bands->array.size()), data.member("numBands")->number) << what;
    for (const JsonValue& band : bands->array)
    {
        for (const auto& [key, value] : band.object)
            EXPECT_TRUE(known.count(value.string))
                << what << ": band names missing parameter " << value.string;
    }
}

} // namespace

TEST(SpeakerTemplate, BuildsTheSpeakerTree)
{
    std::vector<std::string> lines;
    render(build("Speaker"), "", lines);
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "||36|",
                         "line||0|",
                         "line/ch1|InputComponent|21|",
                         "line/ch1/limit|LimiterComponent|3|",
                         "line/ch1/eq|TarnEqComponent|49|Eq8BandDef",
                         "line/ch1/notch|TarnEqComponent|33|NotchEQDef",
                         "line/ch1/geq|GEQComponent|34|",
                         "output||0|",
                         "output/ch1|OutputComponent|15|",
                         "output/ch1/multilimiter|MultiLimiterComponent|10|",
                         "output/ch2|OutputComponent|15|",
                         "output/ch2/multilimiter|MultiLimiterComponent|10|",
                         "output/ch3|OutputComponent|15|",
                         "output/ch3/multilimiter|MultiLimiterComponent|10|",
                         "output/ch4|OutputComponent|15|",
                         "output/ch4/multilimiter|MultiLimiterComponent|10|",
                     }));
}

TEST(SpeakerTemplate, ComponentsCarryTheirListsParameters)
{
    const BuiltComponent speaker = build("Speaker");
    EXPECT_EQ(paramIds(speaker).front(), "networkstatus");
    EXPECT_EQ(paramIds(speaker).back(), "statusled2");
    const BuiltComponent* input = speaker.child("line") ? speaker.child("line")->child("ch1") : nullptr;
    ASSERT_TRUE(input);
    const std::vector<std::string> inputIds = paramIds(*input);
    EXPECT_EQ(inputIds.front(), "amplevel1");
    EXPECT_EQ(inputIds[7], "volume");
    EXPECT_EQ(inputIds.back(), "contourpolarity");
    const BuiltComponent* output = speaker.child("output") ? speaker.child("output")->child("ch4") : nullptr;
    ASSERT_TRUE(output);
    EXPECT_EQ(paramIds(*output).front(), "outputstub");
    EXPECT_EQ(output->params.front().tag, 200);
}

TEST(SpeakerTemplate, EqualiserLayoutsNameTheirComponentsParameters)
{
    const BuiltComponent speaker = build("Speaker");
    const BuiltComponent* channel = speaker.child("line") ? speaker.child("line")->child("ch1") : nullptr;
    ASSERT_TRUE(channel);
    ASSERT_TRUE(channel->child("eq") && channel->child("notch"));
    expectLayoutNamesExist(classData(channel->child("eq")->classdata), paramIds(*channel->child("eq")), "eq");
    expectLayoutNamesExist(classData(channel->child("notch")->classdata), paramIds(*channel->child("notch")),
                           "notch");
}

TEST(ClassData, Eq8BandDefHoldsEightParametricBands)
{
    const JsonValue data = classData("Eq8BandDef");
    ASSERT_TRUE(data.member("numBands"));
    EXPECT_EQ(data.member("numBands")->number, 8);
    EXPECT_EQ(bandsOf(data), eq8Bands());
    // The band type list indexes these filter kinds, so both have four entries in step.
    EXPECT_EQ(stringsOf(data.member("biquads")),
              (std::vector<std::string>{"LowCut", "LowShelf", "HighShelf", "Peaking"}));
    EXPECT_EQ(shippedModel().strings("Eq8TypeList").size(), 4u);
    EXPECT_EQ(displayRange(data), (std::vector<double>{20, 20000, -15, 15}));
    EXPECT_FALSE(data.member("defaults"));
    ASSERT_TRUE(data.member("active"));
    EXPECT_EQ(data.member("active")->string, "eqallon");
    EXPECT_EQ(data.object.size(), 5u);
}

TEST(ClassData, NotchEqDefHoldsEightPeakingBandsWithFixedQ)
{
    const JsonValue data = classData("NotchEQDef");
    ASSERT_TRUE(data.member("numBands"));
    EXPECT_EQ(data.member("numBands")->number, 8);
    EXPECT_EQ(bandsOf(data), notchBands());
    const JsonValue* defaults = data.member("defaults");
    ASSERT_TRUE(defaults);
    EXPECT_EQ(defaults->member("type")->string, "Peaking");
    EXPECT_EQ(defaults->member("q")->number, 24);
    EXPECT_EQ(displayRange(data), (std::vector<double>{20, 20000, -48, 0}));
    EXPECT_FALSE(data.member("biquads"));
    EXPECT_EQ(data.member("active")->string, "notchallon");
    EXPECT_EQ(data.object.size(), 5u);
}

TEST(ClassData, CompositeEqDefPutsTheNotchBandsBeforeTheParametricOnes)
{
    const JsonValue data = classData("CompositeEQDef");
    ASSERT_TRUE(data.member("numBands"));
    EXPECT_EQ(data.member("numBands")->number, 16);
    std::vector<std::string> expected = notchBands();
    const std::vector<std::string> eq = eq8Bands();
    expected.insert(expected.end(), eq.begin(), eq.end());
    EXPECT_EQ(bandsOf(data), expected);
    EXPECT_EQ(stringsOf(data.member("biquads")),
              (std::vector<std::string>{"LowCut", "LowShelf", "HighShelf", "Peaking"}));
    const JsonValue* defaults = data.member("defaults");
    ASSERT_TRUE(defaults);
    EXPECT_EQ(defaults->member("type")->string, "Peaking");
    EXPECT_EQ(defaults->member("q")->number, 24);
    EXPECT_EQ(displayRange(data), (std::vector<double>{20, 20000, -15, 15}));
    EXPECT_EQ(data.member("active")->string, "eqallon");

    // The composite has no parameters itself; its bands live in the
    // channel's notch and parametric equalisers.
    std::vector<std::string> memberIds =
        paramIds(BuiltComponent{"", "", "", shippedModel().resolveParams("NotchEq"), {}});
    for (const EffectiveParam& p : shippedModel().resolveParams("Eq8"))
        memberIds.push_back(p.id);
    expectLayoutNamesExist(data, memberIds, "compeq");
}

TEST(OtherTemplates, MasterCompositeAndDeveloperTrees)
{
    std::vector<std::string> lines;
    render(build("MasterGEQ"), "", lines);
    render(build("CompositeEQ"), "", lines);
    render(build("DeveloperDSP"), "", lines);
    render(build("ChannelDSP"), "", lines);
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "||0|",
                         "geq|GEQComponent|34|",
                         "||0|",
                         "compeq|EqCompositeComponent|0|CompositeEQDef",
                         "||0|",
                         "multilimiter|MultiLimiterComponent|10|",
                         "||0|",
                         "limit|LimiterComponent|3|",
                         "eq|TarnEqComponent|49|Eq8BandDef",
                         "notch|TarnEqComponent|33|NotchEQDef",
                         "geq|GEQComponent|34|",
                     }));
}
