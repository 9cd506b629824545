#include "remote/RemoteValue.h"

#include <cmath>

#include "tessel/CommandParam.h"
#include "tessel/Component.h"
#include "tessel/IParameter.h"

namespace Vellaris::Remote
{

namespace
{
// Why the command of `owner` was refused: its "commandRefusal" property when it gives one.
std::string refusalOf(Tessel::Component* owner)
{
    Tessel::Variant reason;
    if (owner && owner->getProperty(kCommandRefusalProperty, reason) && reason.isString() &&
        !reason.asString().empty())
        return reason.asString();
    return "the command is not available now";
}

// Sets the plain value the way the chosen gesture asks.
void apply(Tessel::IParameter* param, const Tessel::Variant& value, Gesture gesture)
{
    if (gesture == Gesture::Own)
        param->beginEdit();
    param->setValue(value, true);
    if (gesture == Gesture::Own)
        param->endEdit();
}
} // namespace

bool isSecret(const Tessel::ObjectTarget& target)
{
    return target.kind == Tessel::ObjectTarget::Kind::Parameter && target.parameter &&
           target.parameter->isFlag(Tessel::ParamFlags::kSecret);
}

bool isWholeKind(int type)
{
    return type == Tessel::ParamType::kToggle || type == Tessel::ParamType::kInteger ||
           type == Tessel::ParamType::kList || type == Tessel::ParamType::kColor;
}

bool isCommand(const Tessel::ObjectTarget& target)
{
    return target.kind == Tessel::ObjectTarget::Kind::Parameter &&
           dynamic_cast<Tessel::CommandParam*>(target.parameter) != nullptr;
}

bool readValue(const Tessel::ObjectTarget& target, Tessel::Variant& value, std::string& text,
               std::string& error)
{
    if (isSecret(target))
    {
        error = kWriteOnlyReason;
        return false;
    }
    if (target.kind == Tessel::ObjectTarget::Kind::Parameter && target.parameter)
    {
        value = target.parameter->getValue();
        text = target.parameter->toString();
        return true;
    }
    if (target.kind == Tessel::ObjectTarget::Kind::Property && target.component)
    {
        value = Tessel::Variant();
        target.component->getProperty(target.name, value);
        if (!value.isInt() && !value.isFloat() && !value.isString())
        {
            error = "the property holds no value that can be sent";
            return false;
        }
        text = value.asString();
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

bool checkSettable(Tessel::IParameter* param, std::string& error)
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
    return true;
}

bool setNumber(Tessel::IParameter* param, const Tessel::Variant& number, Gesture gesture, std::string& error)
{
    if (!checkSettable(param, error))
        return false;
    if (number.isFloat() && !std::isfinite(number.asDouble()))
    {
        error = "the value is not a finite number";
        return false;
    }
    if (param->getType() == Tessel::ParamType::kString)
    {
        error = "the parameter takes text";
        return false;
    }
    apply(param, number, gesture);
    return true;
}

bool setText(Tessel::IParameter* param, const std::string& text, Gesture gesture, std::string& error)
{
    if (!checkSettable(param, error))
        return false;
    // Scanning first with no one told finds out whether the text is a value at all; the old value
    // goes back before the real change, which then reaches views and the controller as one edit.
    Tessel::Variant old = param->getValue();
    if (!param->fromString(text, false))
    {
        // A refused secret is not repeated to anyone who might be listening.
        error = param->isFlag(Tessel::ParamFlags::kSecret)
                    ? "the text is not a value of this parameter"
                    : "\"" + text + "\" is not a value of this parameter";
        return false;
    }
    Tessel::Variant value = param->getValue();
    param->setValue(old, false);
    apply(param, value, gesture);
    return true;
}

bool invokeCommand(const Tessel::ObjectTarget& target, std::string& error)
{
    auto* command = dynamic_cast<Tessel::CommandParam*>(target.parameter);
    if (!command || !target.parameter->isEnabled())
    {
        error = "the command is not available now";
        return false;
    }
    if (!command->invoke())
    {
        error = refusalOf(target.component);
        return false;
    }
    return true;
}

} // namespace Vellaris::Remote
