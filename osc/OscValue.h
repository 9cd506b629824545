#pragma once

#include <lo/lo.h>

#include <string>

#include "remote/RemoteValue.h"
#include "tessel/ObjectAddress.h"

namespace Vellaris::Osc
{

// How values travel over OSC (the rules themselves are every remote's: remote/RemoteValue.h).
//
// A query reply carries two arguments: the value and its text form. The value is an int32 for
// toggles, integers, lists and colours, a float for float parameters, and the text itself for
// text parameters; a property's value goes as an int32, a float or a text by its kind.
//
// A set carries one argument: an int, float, double, 64-bit int, true or false is the plain value
// (clamped to the range, whole-number kinds drop the fraction); a text is the parameter's text
// form, scanned by its formatter ("-6", "2.5k", "On"). Text parameters take only texts.

using Remote::isSecret;
using Remote::kWriteOnlyReason;
using Remote::valueSignature;

// Appends the value and its text of `target` (a parameter or a property) to `reply`. Returns
// false with `error` set when the target has no value to send (an object property, a secret).
bool addValueArguments(lo_message reply, const Tessel::ObjectTarget& target, std::string& error);

// Sets `param` from one OSC argument of type `type` inside an edit gesture, with notification (as
// a drag on screen does, so the change reaches the speaker). Returns false with `error` set, and
// changes nothing, when the parameter is read-only or disabled or the argument is no value of it.
bool setFromArgument(Tessel::IParameter* param, char type, lo_arg* argument, std::string& error);

} // namespace Vellaris::Osc
