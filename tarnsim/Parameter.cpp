#include "tarnsim/Parameter.h"

#include "formats/FormatterRegistry.h"
#include "tarnsim/AliasParam.h"
#include "tarnsim/ListParam.h"
#include "tarnsim/NumericParam.h"
#include "tarnsim/StringParam.h"

#include <algorithm>

namespace Core::Portable
{

Parameter::Parameter(const ParamDefinition& definition, IParamObserver* owner, bool notifyOwner)
    : definition_(&definition), owner_(owner)
{
    if (notifyOwner && owner)
        flags_ |= kNotifiesOwner;
    if (definition.formatterName && definition.formatterName[0])
        formatter_ = Core::findFormatter(definition.formatterName);
}

Parameter::~Parameter() = default;

void Parameter::hide()
{
    flags_ |= kHidden;
    notifyOwner(IParamObserver::kHidden);
}

void Parameter::show()
{
    flags_ &= ~kHidden;
    notifyOwner(IParamObserver::kShown);
}

void Parameter::perform()
{
    notifyOwner(IParamObserver::kPerformed);
}

void Parameter::setEnabled(bool enabled)
{
    if (enabled == isEnabled())
        return;
    if (enabled)
        flags_ &= ~kDisabled;
    else
        flags_ |= kDisabled;
    notifyChanged(IParamObserver::kChanged);
}

float Parameter::getStepCount() const
{
    return definition_->step != 0.0f ? 1.0f / definition_->step : 0.0f;
}

void Parameter::toText(char* buffer, std::size_t size) const
{
    if (buffer && size > 0)
        buffer[0] = 0;
}

std::string Parameter::text() const
{
    char buffer[256];
    toText(buffer, sizeof(buffer));
    buffer[sizeof(buffer) - 1] = 0;
    return buffer;
}

bool Parameter::addObserver(IParamObserver* observer)
{
    if (!observer || observers_.size() >= kMaxObservers)
        return false;
    if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
    return true;
}

void Parameter::removeObserver(IParamObserver* observer)
{
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void Parameter::notifyChanged(int code)
{
    notifyOwner(code);
    notifyObservers(code);
}

void Parameter::notifyOwner(int code)
{
    if ((flags_ & kNotifiesOwner) && owner_)
        owner_->paramChanged(this, code);
}

void Parameter::notifyObservers(int code)
{
    // A copy, so an observer may remove itself while being told.
    const std::vector<IParamObserver*> observers = observers_;
    for (IParamObserver* observer : observers)
    {
        if (std::find(observers_.begin(), observers_.end(), observer) != observers_.end())
            observer->paramChanged(this, code);
    }
}

ParamDefinition& Parameter::writableDefinition()
{
    if (!ownDefinition_)
    {
        ownDefinition_ = std::make_unique<ParamDefinition>(*definition_);
        definition_ = ownDefinition_.get();
        flags_ |= kOwnsDefinition;
    }
    return *ownDefinition_;
}

std::unique_ptr<Parameter> createParameter(const ParamDefinition& definition, IParamObserver* owner,
                                           bool notifyOwner)
{
    switch (definition.type)
    {
    case ParamDefinition::kList:
        return std::make_unique<ListParam>(definition, owner, notifyOwner);
    case ParamDefinition::kString:
        return std::make_unique<StringParam>(definition, owner, notifyOwner);
    case ParamDefinition::kAlias:
        return std::make_unique<AliasParam>(definition, owner, notifyOwner);
    default:
        return std::make_unique<NumericParam>(definition, owner, notifyOwner);
    }
}

} // namespace Core::Portable
