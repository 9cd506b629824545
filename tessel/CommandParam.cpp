#include "tessel/CommandParam.h"

#include "tessel/ICommandHandler.h"

namespace Tessel
{

TESSEL_DEFINE_CLASS(CommandParam, Parameter)

CommandParam::CommandParam(const std::string& name) : Parameter(ParamType::kToggle, 0, 1, name) {}

void CommandParam::setCommand(const std::string& newCategory, const std::string& newName)
{
    category = newCategory;
    commandName = newName;
}

bool CommandParam::invoke()
{
    ICommandHandler* handler = unknownCast<ICommandHandler>(controller);
    if (!handler || category.empty())
        return false;
    SharedPtr<Object> keepAlive(this);
    return handler->interpretCommand(CommandMsg(category, commandName, arguments, false));
}

bool CommandParam::canInvoke() const
{
    ICommandHandler* handler = unknownCast<ICommandHandler>(controller);
    if (!handler || category.empty())
        return false;
    return handler->interpretCommand(CommandMsg(category, commandName, arguments, true));
}

void CommandParam::setValue(const Variant& v, bool notify)
{
    if (notify && v.asDouble() != 0)
        invoke();
}

void CommandParam::setNormalized(double normalized, bool notify)
{
    if (notify && normalized > 0)
        invoke();
}

} // namespace Tessel
