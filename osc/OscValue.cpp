#include "osc/OscValue.h"

#include <cmath>
#include <cstdint>

#include "osc/OscArgument.h"
#include "tessel/IParameter.h"
#include "tessel/Variant.h"

namespace Vellaris::Osc
{

namespace
{
int32_t toInt32(int64_t value)
{
    // Colours are unsigned 32-bit words: they travel as the same 32 bits.
    return int32_t(uint32_t(uint64_t(value)));
}

// The plain value of an argument that holds a number; false for texts and other kinds.
bool numberOf(char type, lo_arg* argument, Tessel::Variant& value)
{
    switch (type)
    {
    case LO_INT32:
        value = Tessel::Variant(argumentInt32(argument));
        return true;
    case LO_INT64:
        value = Tessel::Variant((long long)argumentInt64(argument));
        return true;
    case LO_FLOAT:
        value = Tessel::Variant(double(argumentFloat(argument)));
        return std::isfinite(argumentFloat(argument));
    case LO_DOUBLE:
        value = Tessel::Variant(argumentDouble(argument));
        return std::isfinite(argumentDouble(argument));
    case LO_TRUE:
        value = Tessel::Variant(1);
        return true;
    case LO_FALSE:
        value = Tessel::Variant(0);
        return true;
    default:
        return false;
    }
}
} // namespace

bool addValueArguments(lo_message reply, const Tessel::ObjectTarget& target, std::string& error)
{
    Tessel::Variant value;
    std::string text;
    if (!Remote::readValue(target, value, text, error))
        return false;
    const bool isParameter = target.kind == Tessel::ObjectTarget::Kind::Parameter;
    if (isParameter && target.parameter->getType() == Tessel::ParamType::kString)
        lo_message_add_string(reply, value.asString().c_str());
    else if (isParameter && Remote::isWholeKind(target.parameter->getType()))
        lo_message_add_int32(reply, toInt32(value.asInt()));
    else if (isParameter)
        lo_message_add_float(reply, float(value.asDouble()));
    else if (value.isInt())
        lo_message_add_int32(reply, toInt32(value.asInt()));
    else if (value.isFloat())
        lo_message_add_float(reply, float(value.asDouble()));
    else
        lo_message_add_string(reply, value.asString().c_str());
    lo_message_add_string(reply, text.c_str());
    return true;
}

bool setFromArgument(Tessel::IParameter* param, char type, lo_arg* argument, std::string& error)
{
    if (!Remote::checkSettable(param, error))
        return false;
    if (type == LO_STRING || type == LO_SYMBOL)
        return Remote::setText(param, argumentText(argument), Remote::Gesture::Own, error);
    Tessel::Variant number;
    if (!numberOf(type, argument, number))
    {
        error = (type == LO_FLOAT || type == LO_DOUBLE)
                    ? "the value is not a finite number"
                    : std::string("an argument of type '") + type + "' is no value";
        return false;
    }
    return Remote::setNumber(param, number, Remote::Gesture::Own, error);
}

} // namespace Vellaris::Osc
