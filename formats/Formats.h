#pragma once

namespace Core
{
class CurveRegistry;
class FormatterRegistry;
} // namespace Core

// Filling the formatter and curve registries. A process registers one of the two sets before it
// loads parameters, usually at static initialisation: an executable that links the object library
// roomdesk::formats_register_all (or roomdesk::formats_register_simulator) has it done before
// main. Calling the functions again is harmless: each registers what is not there yet, so the
// registries never hold a name twice through them.
namespace Vellaris::Dsp
{

// Everything roomdesk uses: the formatters "freq", "time", "gain", "ratio", "pan", "int",
// "float", "percent", "percent.1", "percent.2", "onoff", "yesno", "lowhigh", "fahrenheit",
// "celsius", "ms", "ch_name", "q" in this order (temperatures with the degree sign: "17 °C"; "q"
// prints an equaliser Q as a bare number), and the curves "skew", "exp", "fader", "ratio",
// "bilinear" after the built-in "linear", "log" and "zoom".
void registerAllFormats();
void registerAllFormats(Core::FormatterRegistry& formatters, Core::CurveRegistry& curves);

// The simulator's subset: the formatters "int", "float", "percent", "percent.1", "percent.2",
// "onoff", "yesno", "lowhigh", "fahrenheit", "celsius" ("17 C"), "ms", "ch_name" and only the built-in
// curves "linear", "log" and "zoom".
void registerSimulatorFormats();
void registerSimulatorFormats(Core::FormatterRegistry& formatters, Core::CurveRegistry& curves);

} // namespace Vellaris::Dsp
