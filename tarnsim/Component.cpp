#include "tarnsim/Component.h"

#include "core/Attributes.h"
#include "protocol/ParamPath.h"
#include "tarnsim/StringParam.h"

namespace Core::Portable
{

Component::Component(std::string_view name, bool notifyParams)
    : name_(name.substr(0, kMaxNameLength)), notifyParams_(notifyParams)
{
}

void Component::paramChanged(Parameter*, int) {}

Component::~Component()
{
    // Parameters go before children; nobody is told any more.
    parameters_.clear();
    children_.clear();
}

Component* Component::findChild(std::string_view name) const
{
    for (const auto& child : children_)
    {
        if (child->name() == name)
            return child.get();
    }
    return nullptr;
}

Parameter* Component::findParameter(std::string_view name) const
{
    for (const auto& parameter : parameters_)
    {
        if (parameter->name() == name)
            return parameter.get();
    }
    return nullptr;
}

Parameter* Component::findParameterByTag(int32_t tag) const
{
    for (const auto& parameter : parameters_)
    {
        if (parameter->tag() == tag)
            return parameter.get();
    }
    return nullptr;
}

Component* Component::addChild(std::unique_ptr<Component> child)
{
    child->parent_ = this;
    children_.push_back(std::move(child));
    return children_.back().get();
}

Parameter* Component::addParameter(const ParamDefinition& definition)
{
    parameters_.push_back(createParameter(definition, this, notifyParams_));
    return parameters_.back().get();
}

void Component::addParameters(const ParamDefinitionList& list)
{
    for (int i = 0; i < list.count; ++i)
        addParameter(list.items[i]);
}

std::string Component::path() const
{
    if (!parent_)
        return std::string();
    std::string above = parent_->path();
    if (above.empty())
        return name_;
    return above + "/" + name_;
}

std::string Component::paramPath(const Parameter& parameter) const
{
    std::string own = path();
    if (own.empty())
        return std::string(parameter.name());
    return own + "/" + std::string(parameter.name());
}

Component* Component::findDescendant(std::string_view path) const
{
    const Component* current = this;
    for (std::string_view name : Vellaris::LK::splitComponentPath(path))
    {
        current = current->findChild(name);
        if (!current)
            return nullptr;
    }
    return const_cast<Component*>(current);
}

void Component::loadState(const Attributes& state)
{
    for (const auto& parameter : parameters_)
    {
        if (!parameter->isStorable())
            continue;
        const AttributeValue* member = state.find(parameter->name());
        if (!member)
            continue;
        switch (parameter->type())
        {
        case ParamDefinition::kFloat:
            parameter->setValue(static_cast<float>(member->toDouble(0.0)), true);
            break;
        case ParamDefinition::kString:
        {
            const std::string text(member->isText() ? member->text() : std::string_view());
            parameter->fromText(text.c_str(), true);
            break;
        }
        case ParamDefinition::kToggle:
        case ParamDefinition::kInteger:
        case ParamDefinition::kList:
            parameter->setValue(static_cast<float>(member->toInt64(0)), true);
            break;
        default:
            break;
        }
    }
    for (const auto& child : children_)
    {
        if (Attributes* object = state.getAttributes(child->name()))
            child->loadState(*object);
    }
}

void Component::storeState(Attributes& state) const
{
    for (const auto& parameter : parameters_)
    {
        if (!parameter->isStorable())
            continue;
        switch (parameter->type())
        {
        case ParamDefinition::kFloat:
            state.setDouble(parameter->name(), parameter->getValue());
            break;
        case ParamDefinition::kString:
            state.setText(parameter->name(), parameter->text());
            break;
        case ParamDefinition::kToggle:
        case ParamDefinition::kInteger:
        case ParamDefinition::kList:
            state.setInt64(parameter->name(), static_cast<int64_t>(parameter->getValue()));
            break;
        default:
            break;
        }
    }
    for (const auto& child : children_)
    {
        Attributes object;
        child->storeState(object);
        if (!object.isEmpty())
            state.setAttributes(child->name(), object);
    }
}

void Component::idle()
{
    for (const auto& child : children_)
        child->idle();
}

} // namespace Core::Portable
