// Applying a speaker's "Synchronize" to the mirror, and building the client's own.

#include <cmath>

#include "core/Attributes.h"
#include "mirror/ClientRootComponent.h"
#include "protocol/MessageNames.h"
#include "tessel/ListParam.h"

namespace Vellaris::LK
{

namespace
{

using Core::Portable::AttributeQueue;
using Core::Portable::Attributes;
using Core::Portable::AttributeValue;

double numberOr0(const Attributes& range, const char* key)
{
    const AttributeValue* value = range.find(key);
    return value && value->isNumber() ? value->toDouble() : 0.0;
}

void replaceEntries(Tessel::IParameter* param, const AttributeQueue& texts)
{
    std::vector<std::string> entries;
    for (int i = 0; i < texts.count(); ++i)
        entries.emplace_back(texts.at(i).text());
    if (auto* list = dynamic_cast<Tessel::ListParam*>(param->getOriginal()))
        list->setEntries(entries);
    else
    {
        param->clearEntries();
        for (const std::string& entry : entries)
            param->appendEntry(entry);
    }
}

// Applies one entry of "values"; with `keepValue` only a mutable range or list, not the value.
void applyValue(Tessel::IParameter* param, const AttributeValue& value, const std::string& name,
                const Attributes* strings, const Attributes* ranges, bool keepValue)
{
    if (value.isNumber() && std::isfinite(value.toDouble()))
    {
        if (param->isFlag(Tessel::ParamFlags::kMutable))
        {
            if (param->getType() == Tessel::ParamType::kList)
            {
                if (AttributeQueue* texts = strings ? strings->getQueue(name) : nullptr)
                    replaceEntries(param, *texts);
            }
            else if (const Attributes* range = ranges ? ranges->getAttributes(name) : nullptr)
            {
                ClientRootComponent::applyRange(
                    param, numberOr0(*range, Message::kMin), numberOr0(*range, Message::kMax),
                    numberOr0(*range, Message::kDef), numberOr0(*range, Message::kMid),
                    range->getText(Message::kUnits), range->getText(Message::kCurve));
            }
        }
        if (keepValue)
            return;
        if (param->getType() == Tessel::ParamType::kColor)
            param->setValue(Tessel::Variant((long long)value.toInt64()), false);
        else
            param->setNormalized(value.toDouble(), false);
    }
    else if (value.isText() && !keepValue)
        param->fromString(std::string(value.text()), false);
}

} // namespace

void ClientRootComponent::applySynchronize(Tessel::Component& component, const Attributes& payload,
                                           const KeepsOwnValue& keepsOwnValue)
{
    const Attributes* strings = payload.getAttributes(Message::kStrings);
    const Attributes* ranges = payload.getAttributes(Message::kRanges);
    const Attributes* states = payload.getAttributes(Message::kStates);
    if (const Attributes* values = payload.getAttributes(Message::kValues))
    {
        for (const auto& entry : *values)
        {
            const std::string name(entry.name());
            Tessel::IParameter* param = component.findParameter(name);
            if (!param || !param->isFlag(Tessel::ParamFlags::kPublic))
                continue;
            // A parameter missing from "states" is enabled.
            const AttributeValue* state = states ? states->find(name) : nullptr;
            const bool disabled = state && state->isNumber() && (state->toInt64() & 1);
            applyValue(param, entry.value(), name, strings, ranges,
                       !disabled && keepsOwnValue && keepsOwnValue(param));
            param->enable(!disabled);
        }
    }
    if (const Attributes* children = payload.getAttributes(Message::kChildren))
    {
        for (const auto& entry : *children)
        {
            Tessel::Component* child = component.findChild(std::string(entry.name()));
            const Attributes* content = entry.value().attributes();
            if (child && content && child->isKindOf(UniversalComponent::metaClass))
                applySynchronize(*child, *content, keepsOwnValue);
        }
    }
}

bool ClientRootComponent::collectValues(const Tessel::Component& component, Attributes& out)
{
    Attributes values;
    for (int i = 0; i < component.countParameters(); ++i)
    {
        Tessel::IParameter* param = component.getParameterAt(i);
        if (!param->isFlag(Tessel::ParamFlags::kPublic))
            continue;
        switch (param->getType())
        {
        case Tessel::ParamType::kColor:
            values.setInt64(param->getName(), param->getValue().asInt());
            break;
        case Tessel::ParamType::kString:
            values.setText(param->getName(), param->toString());
            break;
        default:
            values.setDouble(param->getName(), param->getNormalized());
            break;
        }
    }
    Attributes children;
    for (int i = 0; i < component.countChildren(); ++i)
    {
        Tessel::Component* child = component.getChild(i);
        if (!child->isKindOf(UniversalComponent::metaClass))
            continue;
        Attributes content;
        if (collectValues(*child, content))
            children.setAttributes(child->getName(), content);
    }
    if (!values.isEmpty())
        out.setAttributes(Message::kValues, values);
    if (!children.isEmpty())
        out.setAttributes(Message::kChildren, children);
    return !values.isEmpty() || !children.isEmpty();
}

} // namespace Vellaris::LK
