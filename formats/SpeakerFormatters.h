#pragma once

#include "formats/IntFormatter.h"
#include "formats/TextPairFormatter.h"

// The speaker-specific formatters, under the names the speaker's parameter lists use. Each is a
// configured generic formatter; the full and the simulator set share the same objects.
namespace Vellaris::LK::Format
{

// "onoff": "On" / "Off".
class OnOff final : public Dsp::TextPairFormatter
{
public:
    OnOff() : TextPairFormatter("onoff", "On", "Off") {}
};

// "yesno": "Yes" / "No".
class YesNo final : public Dsp::TextPairFormatter
{
public:
    YesNo() : TextPairFormatter("yesno", "Yes", "No") {}
};

// "lowhigh": "High" for a nonzero value, "Low" for zero.
class LowHigh final : public Dsp::TextPairFormatter
{
public:
    LowHigh() : TextPairFormatter("lowhigh", "High", "Low") {}
};

// "fahrenheit": whole degrees, "63 F".
class Fahrenheit final : public Dsp::IntFormatter
{
public:
    Fahrenheit() : IntFormatter("fahrenheit", "F") {}
};

// "celsius": whole degrees, "17 C".
class Celsius final : public Dsp::IntFormatter
{
public:
    Celsius() : IntFormatter("celsius", "C") {}
};

} // namespace Vellaris::LK::Format
