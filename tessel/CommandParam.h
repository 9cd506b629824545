#pragma once

#include <string>

#include "tessel/Attributes.h"
#include "tessel/Parameter.h"

namespace Tessel
{

// A parameter that invokes a command (category, name) on its controller's ICommandHandler when
// it is set to a non-zero value or invoked; the value itself always stays 0. Views publish
// commands through such parameters ("volumeUp"). A command parameter may carry arguments that go
// with every command it sends ("closeRoom" = a room ID, see CommandParamList).
class CommandParam : public Parameter
{
    TESSEL_DECLARE_CLASS(CommandParam)
public:
    explicit CommandParam(const std::string& name = {});

    void setCommand(const std::string& category, const std::string& commandName);
    const std::string& getCategory() const { return category; }
    const std::string& getCommandName() const { return commandName; }
    // The arguments sent with the command (copied; empty by default).
    void setArguments(const Attributes& newArguments) { arguments = newArguments; }
    const Attributes& getArguments() const { return arguments; }

    // Sends the command to the controller; returns the controller's answer (false when there is
    // no controller or no command).
    bool invoke();
    // Asks the controller with the check-only flag whether the command would be handled.
    bool canInvoke() const;

    // A non-zero value (with notify) invokes the command; the stored value stays 0.
    void setValue(const Variant& value, bool notify = true) override;
    void setNormalized(double normalized, bool notify = true) override;

private:
    std::string category;
    std::string commandName;
    Attributes arguments;
};

} // namespace Tessel
