#include "tarnsim/SynchronizeBuilder.h"

#include "core/AttributeQueue.h"
#include "core/Attributes.h"
#include "formats/Formatter.h"
#include "protocol/MessageNames.h"
#include "tarnsim/ClientSubscription.h"
#include "tarnsim/Component.h"
#include "tarnsim/ServerComponent.h"

#include <string>

namespace Core::Portable
{

namespace M = Vellaris::LK::Message;

namespace
{

// The curve names the simulator can make; a parameter's curve object does not
// know its own name, so the definition's name is used when a curve exists.
void addRange(Attributes& ranges, const Parameter& parameter)
{
    Attributes& range = ranges.setAttributes(parameter.name());
    range.setDouble(M::kMin, parameter.getMin());
    range.setDouble(M::kMax, parameter.getMax());
    range.setDouble(M::kDef, parameter.getDefault());
    if (const Core::Formatter* formatter = parameter.formatter())
        range.setText(M::kUnits, formatter->name());
    if (parameter.curve())
    {
        range.setText(M::kCurve, parameter.definition().curveName);
        range.setDouble(M::kMid, parameter.definition().curveMid);
    }
}

} // namespace

void buildSynchronizeContent(const Component& component, Attributes& out,
                             const ClientSubscription* subscription)
{
    Attributes& values = out.setAttributes(M::kValues);
    const std::string componentPath = component.path();
    for (const auto& parameter : component.parameters())
    {
        if (parameter->isPrivate())
            continue;
        if (subscription && !subscription->accepts(componentPath, parameter->name()))
            continue;
        if (parameter->isNumeric())
            values.setDouble(parameter->name(), parameter->getNormalized());
        else
            values.setText(parameter->name(), parameter->text());
        if (parameter->isMutable() && parameter->isNumeric())
        {
            if (parameter->type() == ParamDefinition::kList)
            {
                Attributes* strings = out.getAttributes(M::kStrings);
                if (!strings)
                    strings = &out.setAttributes(M::kStrings);
                AttributeQueue& entries = strings->setQueue(parameter->name());
                for (int i = 0; i < parameter->entryCount(); ++i)
                    entries.appendText(parameter->entry(i));
            }
            else
            {
                Attributes* ranges = out.getAttributes(M::kRanges);
                if (!ranges)
                    ranges = &out.setAttributes(M::kRanges);
                addRange(*ranges, *parameter);
            }
        }
        if (!parameter->isEnabled())
        {
            Attributes* states = out.getAttributes(M::kStates);
            if (!states)
                states = &out.setAttributes(M::kStates);
            states->setInt64(parameter->name(), 1);
        }
    }
    Attributes& children = out.setAttributes(M::kChildren);
    for (const auto& child : component.children())
    {
        if (!dynamic_cast<const ServerComponent*>(child.get()))
            continue;
        Attributes& object = children.setAttributes(child->name());
        buildSynchronizeContent(*child, object, subscription);
        if (object.isEmpty())
            children.remove(child->name());
    }
    if (values.isEmpty())
        out.remove(M::kValues);
    if (children.isEmpty())
        out.remove(M::kChildren);
}

void applySynchronizeContent(Component& component, const Attributes& content)
{
    if (const Attributes* values = content.getAttributes(M::kValues))
    {
        for (const Attribute& member : *values)
        {
            Parameter* parameter = component.findParameter(member.name());
            if (!parameter || parameter->isPrivate() || !parameter->isEnabled())
                continue;
            const AttributeValue& value = member.value();
            if (value.isText())
            {
                const std::string text(value.text());
                parameter->fromText(text.c_str(), true);
            }
            else if (value.isNumber())
            {
                parameter->setNormalized(static_cast<float>(value.toDouble()), true);
            }
            else
            {
                parameter->setNormalized(0.0f, true);
            }
        }
    }
    if (const Attributes* children = content.getAttributes(M::kChildren))
    {
        for (const Attribute& member : *children)
        {
            const Attributes* object = member.value().attributes();
            if (!object)
                continue;
            Component* child = component.findChild(member.name());
            if (child && dynamic_cast<ServerComponent*>(child))
                applySynchronizeContent(*child, *object);
        }
    }
}

} // namespace Core::Portable
