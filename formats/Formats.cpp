#include "formats/Formats.h"

#include "formats/BilinearInterpolator.h"
#include "formats/ChannelNameFormatter.h"
#include "formats/CurveRegistry.h"
#include "formats/ExpInterpolator.h"
#include "formats/FaderInterpolator.h"
#include "formats/FloatFormatter.h"
#include "formats/FormatterRegistry.h"
#include "formats/FreqFormatter.h"
#include "formats/GainFormatter.h"
#include "formats/IntFormatter.h"
#include "formats/Milliseconds.h"
#include "formats/PanFormatter.h"
#include "formats/PercentFormatter.h"
#include "formats/RatioFormatter.h"
#include "formats/RatioInterpolator.h"
#include "formats/SkewInterpolator.h"
#include "formats/SpeakerFormatters.h"
#include "formats/TimeFormatter.h"

#include <initializer_list>

namespace Vellaris::Dsp
{

namespace
{

// The formatters live for the whole run: built on first use (registration may itself run during
// static initialisation of another file) and never destroyed, so that code running at exit still
// finds them intact.
struct FormatterSet
{
    FreqFormatter freq;
    TimeFormatter time;
    GainFormatter gain;
    RatioFormatter ratio;
    PanFormatter pan;
    IntFormatter integer;
    FloatFormatter floating;
    PercentFormatter percent{"percent", 0};
    PercentFormatter percent1{"percent.1", 1};
    PercentFormatter percent2{"percent.2", 2};
    LK::Format::OnOff onOff;
    LK::Format::YesNo yesNo;
    LK::Format::LowHigh lowHigh;
    LK::Format::Fahrenheit fahrenheit;
    LK::Format::Celsius celsius;
    LK::Format::Milliseconds milliseconds;
    LK::Format::ChannelNameFormatter channelName;
    // roomdesk's own: equaliser Q as a bare number with its step list, and temperatures with the
    // degree sign. The simulator keeps "17 C".
    FloatFormatter qFactor{"q"};
    IntFormatter celsiusDegrees{"celsius", "\xC2\xB0"
                                           "C"};
    IntFormatter fahrenheitDegrees{"fahrenheit", "\xC2\xB0"
                                                 "F"};
};

FormatterSet& formatterSet()
{
    static FormatterSet* set = new FormatterSet;
    return *set;
}

template <typename T> std::unique_ptr<Core::Interpolator> make()
{
    return std::make_unique<T>();
}

void add(Core::FormatterRegistry& registry, std::initializer_list<Core::Formatter*> formatters)
{
    for (Core::Formatter* formatter : formatters)
    {
        if (!registry.contains(formatter))
            registry.registerFormatter(formatter);
    }
}

void add(Core::CurveRegistry& registry, const char* name, Core::CurveFactory factory)
{
    if (!registry.contains(name))
        registry.registerCurve(name, factory);
}

enum class Temperatures
{
    kPlainUnit,  // "17 C"
    kDegreeSign, // "17 °C"
};

void addSpeakerFormatters(Core::FormatterRegistry& registry, Temperatures temperatures)
{
    FormatterSet& s = formatterSet();
    const bool degrees = temperatures == Temperatures::kDegreeSign;
    add(registry, {&s.integer, &s.floating, &s.percent, &s.percent1, &s.percent2, &s.onOff, &s.yesNo,
                   &s.lowHigh, degrees ? &s.fahrenheitDegrees : &s.fahrenheit,
                   degrees ? &s.celsiusDegrees : &s.celsius, &s.milliseconds, &s.channelName});
}

} // namespace

void registerAllFormats(Core::FormatterRegistry& formatters, Core::CurveRegistry& curves)
{
    FormatterSet& s = formatterSet();
    add(formatters, {&s.freq, &s.time, &s.gain, &s.ratio, &s.pan});
    addSpeakerFormatters(formatters, Temperatures::kDegreeSign);
    add(formatters, {&s.qFactor});
    add(curves, "skew", make<SkewInterpolator>);
    add(curves, "exp", make<ExpInterpolator>);
    add(curves, "fader", make<FaderInterpolator>);
    add(curves, "ratio", make<RatioInterpolator>);
    add(curves, "bilinear", make<BilinearInterpolator>);
}

void registerAllFormats()
{
    registerAllFormats(Core::FormatterRegistry::global(), Core::CurveRegistry::global());
}

void registerSimulatorFormats(Core::FormatterRegistry& formatters, Core::CurveRegistry&)
{
    // "linear", "log" and "zoom" come with every curve registry.
    addSpeakerFormatters(formatters, Temperatures::kPlainUnit);
}

void registerSimulatorFormats()
{
    registerSimulatorFormats(Core::FormatterRegistry::global(), Core::CurveRegistry::global());
}

} // namespace Vellaris::Dsp
