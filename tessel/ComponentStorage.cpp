#include "tessel/ComponentStorage.h"

#include "tessel/Attributes.h"
#include "tessel/Component.h"
#include "tessel/IParameter.h"
#include "tessel/ParamTypes.h"

#include <cstdlib>

namespace Tessel
{

namespace
{
bool isStorable(const IParameter* param)
{
    // A secret never reaches a file, whatever its storable flag says.
    return param && param->isFlag(ParamFlags::kStorable) && !param->isFlag(ParamFlags::kSecret);
}

// A stored value that the parameter can take: texts for string parameters, numbers (or texts
// that read as numbers) for the others.
bool usable(const IParameter* param, const Variant* value)
{
    if (!value || value->isEmpty() || value->isObject())
        return false;
    if (param->getType() == ParamType::kString)
        return value->isString() || value->isNumeric();
    if (value->isNumeric())
        return true;
    const std::string& text = value->getText();
    if (text.empty())
        return false;
    char* end = nullptr;
    std::strtod(text.c_str(), &end);
    return end && *end == '\0';
}

void restoreSection(Component& component, const Attributes* section, IStorageFilter* filter)
{
    for (int i = 0; i < component.countParameters(); ++i)
    {
        IParameter* param = component.getParameterAt(i);
        if (!isStorable(param))
            continue;
        if (filter && !filter->includeOnRestore(IStorageFilter::kParameter, param->getName(), param))
            continue;
        const Variant* value = section ? section->find(param->getName()) : nullptr;
        param->setValue(usable(param, value) ? *value : param->getDefaultValue(), true);
    }
    for (int i = 0; i < component.countChildren(); ++i)
    {
        Component* child = component.getChild(i);
        if (filter && !filter->includeOnRestore(IStorageFilter::kComponent, child->getName(), child))
            continue;
        restoreSection(*child, section ? section->getAttributes(child->getName()) : nullptr, filter);
    }
}
} // namespace

void ComponentStorage::store(Component& component, Attributes& into, IStorageFilter* filter)
{
    if (filter && !filter->includeOnStore(IStorageFilter::kComponent, component.getName(), &component))
        return;
    Attributes* section = into.newAttributes(component.getName());
    for (int i = 0; i < component.countParameters(); ++i)
    {
        IParameter* param = component.getParameterAt(i);
        if (!isStorable(param))
            continue;
        if (filter && !filter->includeOnStore(IStorageFilter::kParameter, param->getName(), param))
            continue;
        section->set(param->getName(), param->getValue());
    }
    for (int i = 0; i < component.countChildren(); ++i)
        store(*component.getChild(i), *section, filter);
}

void ComponentStorage::restore(Component& component, const Attributes& from, IStorageFilter* filter)
{
    if (filter && !filter->includeOnRestore(IStorageFilter::kComponent, component.getName(), &component))
        return;
    restoreSection(component, from.getAttributes(component.getName()), filter);
}

void ComponentStorage::resetToDefaults(Component& component, bool notify, bool recurse,
                                       IStorageFilter* filter)
{
    for (int i = 0; i < component.countParameters(); ++i)
    {
        IParameter* param = component.getParameterAt(i);
        if (!isStorable(param))
            continue;
        if (filter && !filter->includeOnReset(IStorageFilter::kParameter, param->getName(), param))
            continue;
        param->setValue(param->getDefaultValue(), notify);
    }
    if (!recurse)
        return;
    for (int i = 0; i < component.countChildren(); ++i)
    {
        Component* child = component.getChild(i);
        if (filter && !filter->includeOnReset(IStorageFilter::kComponent, child->getName(), child))
            continue;
        resetToDefaults(*child, notify, true, filter);
    }
}

} // namespace Tessel
