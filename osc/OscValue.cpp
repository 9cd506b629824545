#include "osc/OscValue.h"

#include <cmath>
#include <cstdint>

#include "osc/OscArgument.h"
#include "tessel/Component.h"
#include "tessel/IParameter.h"
#include "tessel/Variant.h"

namespace Vellaris::Osc
{

namespace
{
bool isWholeKind(int type)
{
    return type == Tessel::ParamType::kToggle || type == Tessel::ParamType::kInteger ||
           type == Tessel::ParamType::kList || type == Tessel::ParamType::kColor;
}

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

bool isSecret(const Tessel::ObjectTarget& target)
{
    return target.kind == Tessel::ObjectTarget::Kind::Parameter && target.parameter &&
           target.parameter->isFlag(Tessel::ParamFlags::kSecret);
}

bool addValueArguments(lo_message reply, const Tessel::ObjectTarget& target, std::string& error)
{
    if (isSecret(target))
    {
        error = kWriteOnlyReason;
        return false;
    }
    if (target.kind == Tessel::ObjectTarget::Kind::Parameter && target.parameter)
    {
        Tessel::IParameter* param = target.parameter;
        std::string text = param->toString();
        Tessel::Variant value = param->getValue();
        if (param->getType() == Tessel::ParamType::kString)
            lo_message_add_string(reply, value.asString().c_str());
        else if (isWholeKind(param->getType()))
            lo_message_add_int32(reply, toInt32(value.asInt()));
        else
            lo_message_add_float(reply, float(value.asDouble()));
        lo_message_add_string(reply, text.c_str());
        return true;
    }
    if (target.kind == Tessel::ObjectTarget::Kind::Property && target.component)
    {
        Tessel::Variant value;
        target.component->getProperty(target.name, value);
        if (value.isInt())
            lo_message_add_int32(reply, toInt32(value.asInt()));
        else if (value.isFloat())
            lo_message_add_float(reply, float(value.asDouble()));
        else if (value.isString())
            lo_message_add_string(reply, value.asString().c_str());
        else
        {
            error = "the property holds no value that can be sent";
            return false;
        }
        lo_message_add_string(reply, value.asString().c_str());
        return true;
    }
    error = "nothing with a value at this address";
    return false;
}

std::string valueSignature(const Tessel::ObjectTarget& target)
{
    if (isSecret(target))
        return {};
    if (target.kind == Tessel::ObjectTarget::Kind::Parameter && target.parameter)
        return target.parameter->getValue().asString() + '\n' + target.parameter->toString();
    if (target.kind == Tessel::ObjectTarget::Kind::Property && target.component)
    {
        Tessel::Variant value;
        target.component->getProperty(target.name, value);
        return std::to_string(value.getType()) + '\n' + value.asString();
    }
    return {};
}

bool setFromArgument(Tessel::IParameter* param, char type, lo_arg* argument, std::string& error)
{
    if (param->isFlag(Tessel::ParamFlags::kReadOnly))
    {
        error = "the parameter is read-only";
        return false;
    }
    if (!param->isEnabled())
    {
        error = "the parameter is disabled";
        return false;
    }
    const bool isText = type == LO_STRING || type == LO_SYMBOL;
    Tessel::Variant number;
    if (!isText)
    {
        if (!numberOf(type, argument, number))
        {
            error = (type == LO_FLOAT || type == LO_DOUBLE)
                        ? "the value is not a finite number"
                        : std::string("an argument of type '") + type + "' is no value";
            return false;
        }
        if (param->getType() == Tessel::ParamType::kString)
        {
            error = "the parameter takes text";
            return false;
        }
    }
    // Scanning first with no one told finds out whether the text is a value at all; the old value
    // goes back before the real change, which then reaches views and the controller as one edit.
    Tessel::Variant old = param->getValue();
    if (isText)
    {
        std::string text = argumentText(argument);
        if (!param->fromString(text, false))
        {
            // A refused secret is not repeated to anyone who might be listening.
            error = param->isFlag(Tessel::ParamFlags::kSecret)
                        ? "the text is not a value of this parameter"
                        : "\"" + text + "\" is not a value of this parameter";
            return false;
        }
        number = param->getValue();
        param->setValue(old, false);
    }
    param->beginEdit();
    param->setValue(number, true);
    param->endEdit();
    return true;
}

} // namespace Vellaris::Osc
