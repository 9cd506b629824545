// Content of the parameter lists, string lists and ranges: every parameter
// with its effective range, units, curve, flags and tag, in list order.

#include "TestModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

using namespace modeldata;

namespace
{

std::vector<std::string> describeList(const std::string& listId)
{
    std::vector<std::string> lines;
    for (const EffectiveParam& p : shippedModel().resolveParams(listId))
        lines.push_back(describe(p));
    return lines;
}

std::vector<std::string> idsOf(const std::vector<const XmlNode*>& section, const std::string& element)
{
    std::vector<std::string> ids;
    for (const XmlNode* node : section)
    {
        if (node->name == element)
            ids.push_back(node->get("id"));
    }
    return ids;
}

std::string numberText(const XmlNode& node, const char* key)
{
    double value = 0;
    if (!parseModelNumber(node.get(key), value))
        return "";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

std::string formatted(const char* pattern, int a, int b = 0, int c = 0)
{
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, pattern, a, b, c);
    return buffer;
}

} // namespace

TEST(ParameterLists, EveryListHoldsItsNumberOfParameters)
{
    const std::vector<std::pair<std::string, size_t>> counts = {
        {"Limiter", 3}, {"Speaker", 36}, {"Channel", 14},      {"InputChannel", 21}, {"OutputChannel", 15},
        {"Eq8", 49},    {"NotchEq", 33}, {"MultiLimiter", 10}, {"GEQ", 34},
    };
    for (const auto& [list, count] : counts)
        EXPECT_EQ(shippedModel().resolveParams(list).size(), count) << list;
}

TEST(ParameterLists, SectionsHoldTheirEntriesInOrder)
{
    const ModelIndex& model = shippedModel();
    EXPECT_EQ(idsOf(model.definitions(), "lk:StringList"),
              (std::vector<std::string>{"SampleRateList", "SpeakerModeList", "DigitalInList",
                                        "OptionCardList", "EmptyParamList", "Eq8TypeList"}));
    EXPECT_EQ(idsOf(model.definitions(), "lk:Data"),
              (std::vector<std::string>{"Eq8BandDef", "NotchEQDef", "CompositeEQDef"}));
    EXPECT_EQ(idsOf(model.parameters(), "lk:ParamList"),
              (std::vector<std::string>{"Limiter", "Speaker", "Channel", "InputChannel", "OutputChannel",
                                        "Eq8", "NotchEq", "MultiLimiter", "GEQ"}));
    EXPECT_EQ(
        idsOf(model.templates(), "lk:Template"),
        (std::vector<std::string>{"ChannelDSP", "MasterGEQ", "CompositeEQ", "DeveloperDSP", "Speaker"}));
}

TEST(ParameterLists, StringListsHoldTheirEntriesInOrder)
{
    const ModelIndex& model = shippedModel();
    using Texts = std::vector<std::string>;
    EXPECT_EQ(model.strings("SampleRateList"), (Texts{"44.1 kHz", "48 kHz", "88.2 kHz", "96 kHz"}));
    EXPECT_EQ(model.strings("SpeakerModeList"), (Texts{"Normal", "LBR Source", "Floor Monitor"}));
    EXPECT_EQ(model.strings("DigitalInList"), (Texts{"Fail-over", "Dante", "Analog"}));
    EXPECT_EQ(model.strings("OptionCardList"), (Texts{"Glint", "Corra (Dante)", "Corra (AVB)"}));
    EXPECT_EQ(model.strings("EmptyParamList"), (Texts{""}));
    EXPECT_EQ(model.strings("Eq8TypeList"), (Texts{"Hi Pass", "Low Shelf", "Hi Shelf", "Parametric"}));
}

TEST(ParameterLists, RangesHoldTheirValuesInOrder)
{
    // id|min|max|mid|def|steps|units|curve, absent values empty.
    const std::vector<std::string> expected = {
        "Eq8Gain|-15|15||0||gain|",
        "Eq8Q|0.1|4|0.71|0.71||q|skew",
        "NotchQ|24|24||24|||",
        "NotchGain|-48|0||0||gain|",
        "NotchFreq|20|20000||2000||freq|log",
        "GeqGain|-16|16||0||gain|",
        "MlThresh|-56|0||0||gain|linear",
        "MlAttack|0.2|150||20||ms|linear",
        "MlRelease|1|1000||200||ms|linear",
        "MlRatio|1|20||2|100|ratio|linear",
    };
    std::vector<std::string> actual;
    for (const XmlNode* node : shippedModel().definitions())
    {
        if (node->name != "lk:Range")
            continue;
        actual.push_back(node->get("id") + "|" + numberText(*node, "min") + "|" + numberText(*node, "max") +
                         "|" + numberText(*node, "mid") + "|" + numberText(*node, "def") + "|" +
                         numberText(*node, "steps") + "|" + node->get("units") + "|" + node->get("curve"));
    }
    EXPECT_EQ(actual, expected);
}

TEST(ParameterLists, LimiterCountsTagsFromZero)
{
    EXPECT_EQ(describeList("Limiter"), (std::vector<std::string>{
                                           "limiteron|Limiter On|toggle|0|0||0|||storable|0",
                                           "threshold|Threshold|float|-28|0||0|gain||storable|1",
                                           "release|Release|float|0|1||0|time||storable|2",
                                       }));
}

TEST(ParameterLists, SpeakerCountsFromOneAndKeepsTheStatusLedTags)
{
    EXPECT_EQ(describeList("Speaker"), (std::vector<std::string>{
                                           "networkstatus|network status|toggle|0|0||0|||private|1",
                                           "wifisignal|wifisignal|toggle|0|0||0|||private|2",
                                           "wifiactivity|wifiactivity|toggle|0|0||0|||private|3",
                                           "clip|clip|toggle|0|0||0||||4",
                                           "signal|signal|toggle|0|0||0||||5",
                                           "limit|limit|toggle|0|0||0||||6",
                                           "thermal|thermal|toggle|0|0||0||||7",
                                           "wink|wink|toggle|0|0||0||||8",
                                           "contour|contour|list|0|2||0|SpeakerModeList||storable mutable|9",
                                           "remotelayeron|remote layer on|toggle|0|0||0|||storable|10",
                                           "presetloading|preset loading|toggle|0|0||0|||storable|11",
                                           "inputreset|input reset|toggle|0|0||0||||12",
                                           "75hz|75hz|toggle|0|0||0|||storable|13",
                                           "wifireset|wifireset|toggle|0|0||0|||private|14",
                                           "wifion|wifion|toggle|0|0||0|||private|15",
                                           "model|Model|string|0|0||0||||16",
                                           "nickname|Nickname|string|0|0||0|||storable|17",
                                           "comments|Comments|string|0|0||0|||storable|18",
                                           "version|Version|string|0|0||0||||19",
                                           "temperature_f|temperature f|int|0|212||63|fahrenheit|||20",
                                           "temperature_c|temperature c|int|-18|100||17|celsius|||21",
                                           "monosum|mono sum|toggle|0|0||0|||storable|22",
                                           "saveLimiter|save limiter|toggle|0|0||0||||23",
                                           "networklist|Available Networks|list|0|0||0|EmptyParamList|||24",
                                           "current_ssid|Current SSID|string|0|0||0||||25",
                                           "remote_peq_on|remote PEQ on|toggle|0|0||0|||storable|26",
                                           "remote_notch_on|remote Notch EQ on|toggle|0|0||0|||storable|27",
                                           "remote_lim_on|remote limiter on|toggle|0|0||0|||storable|28",
                                           "remote_geq_on|remote GEQ on|toggle|0|0||0|||storable|29",
                                           "digitalin|DigitalIn|list|0|2||2|DigitalInList||storable|30",
                                           "optioncard|Option Card|list|0|2||0|OptionCardList|||31",
                                           "corraLock|CorraLock|int|0|1||0|||storable|32",
                                           "excursion|excursion|toggle|0|0||0||||33",
                                           "networksetupmode|NetworkSetupMode|toggle|0|0||0||||34",
                                           "statusled1|statusled1|toggle|0|0||0||||100",
                                           "statusled2|statusled2|toggle|0|0||0||||101",
                                       }));
    // Only the two status LEDs name their tag; the rest count by position.
    for (const XmlNode* param : shippedModel().paramList("Speaker")->childrenNamed("lk:Param"))
    {
        const bool led = param->get("id") == "statusled1" || param->get("id") == "statusled2";
        EXPECT_EQ(param->has("tag"), led) << param->get("id");
    }
}

TEST(ParameterLists, ChannelCountsFromOne)
{
    EXPECT_EQ(describeList("Channel"),
              (std::vector<std::string>{
                  "volume|Volume|float|-84|10|-9|0|gain|skew|storable|1",
                  "volume_enable|Volume enable|toggle|0|0||0|onoff||storable|2",
                  "mute|Mute|toggle|0|0||0|onoff||storable|3",
                  "delay|Delay|float|0|500||0|ms||storable|4",
                  "delay_enable|Delay enable|toggle|0|0||0|onoff||storable|5",
                  "polarity|Polarity|toggle|0|0||0|||storable|6",
                  "name|Channel Name|string|0|0||0|||storable|7",
                  "meter|Meter|float|0|1||0|gain|exp||8",
                  "meterpeak|Meter Peak|float|0|1||0|gain|exp||9",
                  // No default given: it is the minimum.
                  "gr_rmsmeter|RMS Gain Reduction|float|-12|0||-12|gain|linear||10",
                  "gr_peakmeter|Peak Limiter Gain Reduction|float|-12|0||-12|gain|linear||11",
                  "contourvolume|Contour Volume|float|0|3.1622||1|||private|12",
                  "contourdelay|Contour Delay|int|0|4096||0|||private|13",
                  "contourpolarity|Contour Polarity|toggle|0|0||0|||private|14",
              }));
}

TEST(ParameterLists, InputChannelPutsItsOwnParametersBeforeTheChannelOnes)
{
    std::vector<std::string> expected = {
        "amplevel1|Horn Level|float|0|3.1622||1||exp|private|100",
        "amplevel2|Coax Level|float|0|3.1622||1|gain|exp|private|101",
        "amplevel3|Low Level A|float|0|3.1622||1|gain|exp|private|102",
        "amplevel4|Low Level B|float|0|3.1622||1|gain|exp|private|103",
        "inputaligndelay|Input Align Delay|int|0|2||0|||storable|104",
        "hwtrim|HW Trim|float|-24|0|-12|0|gain||private|105",
        "audiobufferpos|audiobufferpos|int|0|65||0|||private|106",
    };
    const std::vector<std::string> channel = describeList("Channel");
    expected.insert(expected.end(), channel.begin(), channel.end());
    EXPECT_EQ(describeList("InputChannel"), expected);
}

TEST(ParameterLists, OutputChannelPutsItsStubBeforeTheChannelOnes)
{
    std::vector<std::string> expected = {"outputstub|outputstub|float|-84|10|-9|0|gain|skew|storable|200"};
    const std::vector<std::string> channel = describeList("Channel");
    expected.insert(expected.end(), channel.begin(), channel.end());
    EXPECT_EQ(describeList("OutputChannel"), expected);
}

TEST(ParameterLists, Eq8HasTheSwitchThenSixParametersPerBand)
{
    const int types[] = {1, 3, 3, 3, 3, 3, 3, 2};
    const int freqs[] = {60, 120, 240, 480, 960, 1920, 3840, 7680};
    const int options[] = {1, 0, 0, 0, 0, 0, 0, 1};
    std::vector<std::string> expected = {"eqallon|EQ On|toggle|0|0||0||||0"};
    for (int n = 1; n <= 8; ++n)
    {
        const int base = 6 * (n - 1);
        expected.push_back(
            formatted("eqtype%d|EQ Type %d|list|0|0||%d|Eq8TypeList||storable|", n, n, types[n - 1]) +
            std::to_string(base + 1));
        expected.push_back(
            formatted("eqgain%d|EQ Gain %d|float|-15|15||0|gain||storable|%d", n, n, base + 2));
        expected.push_back(formatted("eqq%d|Q %d|float|0.1|4|0.71|0.71|q|skew|storable|%d", n, n, base + 3));
        expected.push_back(
            formatted("eqfreq%d|EQ Freq %d|float|20|20000||%d|freq|log|storable|", n, n, freqs[n - 1]) +
            std::to_string(base + 4));
        expected.push_back(formatted("eqbandon%d|Band On %d|toggle|0|0||0|||storable|%d", n, n, base + 5));
        expected.push_back(
            formatted("eqbandop%d|Band Option %d|toggle|0|0||%d|||storable|", n, n, options[n - 1]) +
            std::to_string(base + 6));
    }
    EXPECT_EQ(describeList("Eq8"), expected);
}

TEST(ParameterLists, SwitchesWithAnEmptyFlagsAttributeArePublicAndNotStored)
{
    for (const auto& [list, id] :
         {std::pair<std::string, std::string>{"Eq8", "eqallon"}, {"NotchEq", "notchallon"}})
    {
        const XmlNode* param = shippedModel().paramList(list)->childrenNamed("lk:Param").front();
        EXPECT_EQ(param->get("id"), id);
        ASSERT_TRUE(param->has("flags")) << id;
        EXPECT_EQ(param->get("flags"), "") << id;
    }
}

TEST(ParameterLists, NotchEqTagsSitAtOffsetsTwoToFiveOfEachBlockOfSix)
{
    std::vector<std::string> expected = {"notchallon|Notch-Eq On|toggle|0|0||0||||0"};
    for (int n = 1; n <= 8; ++n)
    {
        const int base = 6 * (n - 1);
        expected.push_back(
            formatted("notchgain%d|Notch-Eq Gain %d|float|-48|0||0|gain||storable|%d", n, n, base + 2));
        expected.push_back(formatted("notchq%d|Notch-Eq Q %d|float|24|24||24||||%d", n, n, base + 3));
        expected.push_back(formatted("notchfreq%d|Notch-Eq Freq %d|float|20|20000||%d|freq|log|storable|", n,
                                     n, 60 << (n - 1)) +
                           std::to_string(base + 4));
        expected.push_back(
            formatted("notchbandon%d|Notch-Eq Band On %d|toggle|0|0||0|||storable|%d", n, n, base + 5));
    }
    EXPECT_EQ(describeList("NotchEq"), expected);
    for (const XmlNode* param : shippedModel().paramList("NotchEq")->childrenNamed("lk:Param"))
        EXPECT_TRUE(param->has("tag")) << param->get("id") << " must name its tag";
}

TEST(ParameterLists, MultiLimiterIsPublicAndNotStored)
{
    EXPECT_EQ(describeList("MultiLimiter"), (std::vector<std::string>{
                                                "on|On|toggle|0|0||0||||0",
                                                "threshold|Threshold|float|-56|0||0|gain|linear||1",
                                                "attack|Attack|float|0.2|150||20|ms|linear||2",
                                                "release|Release|float|1|1000||200|ms|linear||3",
                                                "ratio|Ratio|float|1|20||2|ratio|linear||4",
                                                "rmsthreshold|RMS Threshold|float|-56|0||0|gain|linear||5",
                                                "rmsattack|RMS Attack|float|0.2|150||20|ms|linear||6",
                                                "rmsrelease|RMS Release|float|1|1000||200|ms|linear||7",
                                                "rmsratio|RMS Ratio|float|1|20||2|ratio|linear||8",
                                                "reduction|Reduction|float|0|1||0||||9",
                                            }));
    for (const EffectiveParam& p : shippedModel().resolveParams("MultiLimiter"))
        EXPECT_EQ(p.steps, (p.id == "ratio" || p.id == "rmsratio") ? 100 : 0) << p.id;
}

TEST(ParameterLists, GeqHasThirtyOneBandGainsThenItsSwitches)
{
    std::vector<std::string> expected;
    for (int n = 1; n <= 31; ++n)
        expected.push_back(
            formatted("gain%d|GEQ Band %d Gain|float|-16|16||0|gain||bipolar storable|%d", n, n, n - 1));
    expected.push_back("on|GEQ On/Off|toggle|0|0||0|onoff||storable|31");
    expected.push_back("ston|GEQ Stereo On/Off|toggle|0|0||0|onoff||storable|32");
    expected.push_back("mem_ab|Mem A/B|toggle|0|0||0|onoff|||33");
    EXPECT_EQ(describeList("GEQ"), expected);
}

TEST(ParameterLists, OwnDefaultOverridesTheNamedRangeButKeepsItsCurveAndUnits)
{
    for (const EffectiveParam& p : shippedModel().resolveParams("Eq8"))
    {
        if (p.id != "eqfreq3")
            continue;
        EXPECT_EQ(p.node->get("range"), "NotchFreq");
        EXPECT_EQ(p.def, 240);
        EXPECT_EQ(p.curve, "log");
        EXPECT_EQ(p.units, "freq");
        return;
    }
    FAIL() << "eqfreq3 missing";
}
