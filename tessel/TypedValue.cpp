#include "tessel/TypedValue.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "tessel/IParamFormatter.h"
#include "tessel/IParameter.h"
#include "tessel/SharedPtr.h"

namespace Tessel
{

namespace
{

std::string trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A bare decimal number, for a parameter without a formatter.
bool readPlainNumber(const std::string& text, double& number)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    number = std::strtod(begin, &end);
    if (end == begin)
        return false;
    while (*end == ' ' || *end == '\t')
        ++end;
    return *end == '\0' && std::isfinite(number);
}

TypedValue refused(std::string message)
{
    TypedValue result;
    result.message = std::move(message);
    return result;
}

} // namespace

TypedValue readTypedValue(IParameter& param, const std::string& text)
{
    const int type = param.getType();
    if (type != ParamType::kFloat && type != ParamType::kInteger)
        return refused("This value cannot be typed");
    if (param.isFlag(ParamFlags::kReadOnly) || !param.isEnabled())
        return refused("This value cannot be changed now");
    const std::string typed = trimmed(text);
    if (typed.empty())
        return refused("Type a value, such as " + param.toString());

    const double minimum = param.getMin().asDouble();
    const double maximum = param.getMax().asDouble();
    double number = 0;
    bool read = false;
    if (IParamFormatter* formatter = param.getFormatter())
    {
        if (std::optional<double> scanned = formatter->scanTyped(typed, {minimum, maximum}))
        {
            number = *scanned;
            read = std::isfinite(number);
        }
    }
    else
    {
        read = readPlainNumber(typed, number);
    }
    if (!read)
        return refused("Cannot read \"" + typed + "\": type a number, such as " + param.toString());

    // A typed value passes through single precision on its way; a hair beyond an end is that end.
    const double tolerance = 1e-6 * std::max(1.0, std::fabs(maximum - minimum));
    if (number < minimum - tolerance || number > maximum + tolerance)
        return refused("\"" + typed + "\" is out of range: " + param.valueToString(Variant(minimum)) +
                       " to " + param.valueToString(Variant(maximum)));
    TypedValue result;
    result.accepted = true;
    result.value = std::clamp(number, minimum, maximum);
    return result;
}

TypedValue enterTypedValue(IParameter& param, const std::string& text)
{
    TypedValue result = readTypedValue(param, text);
    if (!result.accepted)
        return result;
    // Held for the whole gesture: the controller may replace the parameter while it changes.
    SharedPtr<IParameter> held = retained(&param);
    const bool ownGesture = !held->isFlag(ParamFlags::kEditing);
    if (ownGesture)
        held->beginEdit();
    held->setValue(Variant(result.value), true);
    if (ownGesture)
        held->endEdit();
    return result;
}

bool stepParamOnGrid(IParameter& param, int steps, StepSize size)
{
    IParamFormatter* formatter = param.getFormatter();
    if (!formatter)
        return false;
    const std::optional<double> stepped = formatter->stepOnGrid(
        param.getValue().asDouble(), steps, size, {param.getMin().asDouble(), param.getMax().asDouble()});
    if (!stepped)
        return false;
    param.setValue(Variant(*stepped), true);
    return true;
}

} // namespace Tessel
