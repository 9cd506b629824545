#include "FormatTestSupport.h"

#include "formats/CurveRegistry.h"
#include "formats/Formats.h"
#include "formats/FormatterRegistry.h"
#include "formats/GainFormatter.h"
#include "formats/Milliseconds.h"
#include "formats/RangeTextFormatter.h"
#include "formats/SpeakerFormatters.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

const float kVolumeRange[2] = {-84.0f, 10.0f};

std::vector<std::string> namesOf(Core::FormatterRegistry& registry, const std::vector<std::string>& names)
{
    std::vector<std::string> found;
    for (const std::string& name : names)
    {
        if (registry.findFormatter(name.c_str()))
            found.push_back(name);
    }
    return found;
}

const std::vector<std::string> kAllFormatterNames = {
    "freq",      "time",  "gain",  "ratio",   "pan",        "int",     "float", "percent", "percent.1",
    "percent.2", "onoff", "yesno", "lowhigh", "fahrenheit", "celsius", "ms",    "ch_name", "q"};

const std::vector<std::string> kSimulatorFormatterNames = {"int",        "float",   "percent", "percent.1",
                                                           "percent.2",  "onoff",   "yesno",   "lowhigh",
                                                           "fahrenheit", "celsius", "ms",      "ch_name"};

} // namespace

TEST(FormatterRegistry, FindsByExactNameInRegistrationOrder)
{
    Core::FormatterRegistry registry;
    Vellaris::Dsp::GainFormatter first;
    Vellaris::Dsp::GainFormatter second;
    registry.registerFormatter(&first);
    registry.registerFormatter(&second);
    EXPECT_EQ(registry.findFormatter("gain"), &first);
    EXPECT_EQ(registry.findFormatter("Gain"), nullptr);
    EXPECT_EQ(registry.findFormatter("gai"), nullptr);
    EXPECT_EQ(registry.findFormatter(""), nullptr);
    EXPECT_EQ(registry.findFormatter(nullptr), nullptr);
    EXPECT_EQ(registry.findFormatter("nosuch"), nullptr);
}

TEST(FormatterRegistry, RangeNameCreatesOneFormatterAndFindsItAgain)
{
    Core::FormatterRegistry registry;
    Vellaris::Dsp::GainFormatter gain;
    registry.registerFormatter(&gain);

    Core::Formatter* created = registry.findFormatter("gain/-inf/~");
    ASSERT_NE(created, nullptr);
    EXPECT_STREQ(created->name(), "gain/-inf/~");
    EXPECT_EQ(registry.count(), 2u);
    EXPECT_EQ(registry.findFormatter("gain/-inf/~"), created);
    EXPECT_EQ(registry.count(), 2u);

    EXPECT_EQ(printed(*created, -84.0f, kVolumeRange), "-inf");
    EXPECT_EQ(printed(*created, -83.9995f, kVolumeRange), "-inf");
    EXPECT_EQ(printed(*created, -83.99f, kVolumeRange), "-83.99 dB");
    EXPECT_EQ(printed(*created, 10.0f, kVolumeRange), "10.00 dB");
    // Without a range the ends are unknown: the base's text.
    EXPECT_EQ(printed(*created, -84.0f), "-84.00 dB");
    // Reading goes to the base.
    EXPECT_FLOAT_EQ(scanned(*created, "-6 dB").value, -6.0f);
}

TEST(FormatterRegistry, RangeNameWithTextAtTheTopOnly)
{
    Core::FormatterRegistry registry;
    Vellaris::Dsp::GainFormatter gain;
    registry.registerFormatter(&gain);
    Core::Formatter* created = registry.findFormatter("gain/~/max");
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(printed(*created, -84.0f, kVolumeRange), "-84.00 dB");
    EXPECT_EQ(printed(*created, 9.9995f, kVolumeRange), "max");

    auto* onlyMin = dynamic_cast<Core::RangeTextFormatter*>(registry.findFormatter("gain/off"));
    ASSERT_NE(onlyMin, nullptr);
    EXPECT_STREQ(onlyMin->minText(), "off");
    EXPECT_STREQ(onlyMin->maxText(), "");

    auto* extra = dynamic_cast<Core::RangeTextFormatter*>(registry.findFormatter("gain/lo/hi/ignored"));
    ASSERT_NE(extra, nullptr);
    EXPECT_STREQ(extra->minText(), "lo");
    EXPECT_STREQ(extra->maxText(), "hi");
}

TEST(FormatterRegistry, RangeNameWithUnknownBaseYieldsNothing)
{
    Core::FormatterRegistry registry;
    Vellaris::Dsp::GainFormatter gain;
    registry.registerFormatter(&gain);
    EXPECT_EQ(registry.findFormatter("level/-inf/~"), nullptr);
    EXPECT_EQ(registry.findFormatter("/-inf/~"), nullptr);
    EXPECT_EQ(registry.count(), 1u);
}

TEST(FormatterRegistry, LongRangeNamesAreCutButStillCreatedOnlyOnce)
{
    Core::FormatterRegistry registry;
    Vellaris::Dsp::GainFormatter gain;
    registry.registerFormatter(&gain);
    const char* name = "gain/a-very-long-text-at-the-bottom-of-the-range/~";
    Core::Formatter* created = registry.findFormatter(name);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(std::string(created->name()).size(), 31u);
    auto* ranged = static_cast<Core::RangeTextFormatter*>(created);
    EXPECT_EQ(std::string(ranged->minText()),
              std::string("a-very-long-text-at-the-bottom-of-the-range").substr(0, 31));
    EXPECT_EQ(registry.findFormatter(name), created);
    EXPECT_EQ(registry.count(), 2u);
}

TEST(FormatRegistration, FullSetRegistersEveryNameOnce)
{
    Core::FormatterRegistry formatters;
    Core::CurveRegistry curves;
    Vellaris::Dsp::registerAllFormats(formatters, curves);
    EXPECT_EQ(namesOf(formatters, kAllFormatterNames), kAllFormatterNames);
    EXPECT_EQ(formatters.count(), kAllFormatterNames.size());
    for (const char* curve : {"linear", "log", "zoom", "skew", "exp", "fader", "ratio", "bilinear"})
        EXPECT_NE(curves.createCurve(curve), nullptr) << curve;
    EXPECT_EQ(curves.count(), 8u);

    Vellaris::Dsp::registerAllFormats(formatters, curves);
    EXPECT_EQ(formatters.count(), kAllFormatterNames.size());
    EXPECT_EQ(curves.count(), 8u);
}

TEST(FormatRegistration, SimulatorSetHasOnlyTheSpeakerFormattersAndBuiltInCurves)
{
    Core::FormatterRegistry formatters;
    Core::CurveRegistry curves;
    Vellaris::Dsp::registerSimulatorFormats(formatters, curves);
    EXPECT_EQ(namesOf(formatters, kAllFormatterNames), kSimulatorFormatterNames);
    EXPECT_EQ(formatters.count(), kSimulatorFormatterNames.size());
    EXPECT_EQ(formatters.findFormatter("gain/-inf/~"), nullptr);
    for (const char* curve : {"skew", "exp", "fader", "ratio", "bilinear"})
        EXPECT_EQ(curves.createCurve(curve), nullptr) << curve;
    EXPECT_EQ(curves.count(), 3u);

    using namespace Vellaris::LK::Format;
    EXPECT_NE(dynamic_cast<OnOff*>(formatters.findFormatter("onoff")), nullptr);
    EXPECT_NE(dynamic_cast<YesNo*>(formatters.findFormatter("yesno")), nullptr);
    EXPECT_NE(dynamic_cast<LowHigh*>(formatters.findFormatter("lowhigh")), nullptr);
    EXPECT_NE(dynamic_cast<Fahrenheit*>(formatters.findFormatter("fahrenheit")), nullptr);
    EXPECT_NE(dynamic_cast<Celsius*>(formatters.findFormatter("celsius")), nullptr);
    EXPECT_NE(dynamic_cast<Milliseconds*>(formatters.findFormatter("ms")), nullptr);
    EXPECT_EQ(printed(*formatters.findFormatter("celsius"), 17.0f), "17 C");
}

TEST(FormatRegistration, LinkedObjectFileFillsTheGlobalRegistriesBeforeMain)
{
    // formats_tests links roomdesk::formats_register_all and calls no registration itself here.
    for (const std::string& name : kAllFormatterNames)
        EXPECT_NE(Core::findFormatter(name.c_str()), nullptr) << name;
    EXPECT_NE(Core::createCurve("skew"), nullptr);
    EXPECT_NE(Core::createCurve("bilinear"), nullptr);
    EXPECT_EQ(Core::findFormatter("no-such-format"), nullptr);
}
