#pragma once

#include <string>

#include "tessel/ParamTypes.h"

namespace Tessel
{

class IParameter;

// What became of a value the user typed into a numeric field.
struct TypedValue
{
    bool accepted = false;
    double value = 0;    // the plain value read (accepted only)
    std::string message; // why the text was refused, in the user's words (refused only)
};

// Reads `text` as a value of the numeric (float or integer) parameter `param` through its own
// formatter's typed reading ("2.5k", "-6", "120 ms"; a bare number in the parameter's unit). Refused,
// with a message that says why: a text that does not read, a value outside the parameter's range
// (never clamped: "60" typed for "6.0" must not become the loudest setting), a parameter that is
// read-only or disabled, or one that is not numeric. Changes nothing.
TypedValue readTypedValue(IParameter& param, const std::string& text);

// readTypedValue, and when accepted sets the value with notification in one edit gesture of its
// own, so the typed value is one step of the undo history (inside a gesture that is already open,
// only sets it).
TypedValue enterTypedValue(IParameter& param, const std::string& text);

// Steps `param` by `steps` points of its unit's grid (its formatter's stepOnGrid), with notification.
// False, changing nothing, when the parameter's unit has no grid.
bool stepParamOnGrid(IParameter& param, int steps, StepSize size);

} // namespace Tessel
