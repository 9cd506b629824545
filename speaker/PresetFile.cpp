#include "speaker/PresetFile.h"

#include <cstdlib>

#include "model/JsonCodec.h"
#include "speaker/StorageFilter.h"
#include "tessel/Attributes.h"
#include "tessel/Component.h"
#include "tessel/ComponentStorage.h"
#include "tessel/IFileSystem.h"
#include "tessel/IParameter.h"
#include "tessel/Json.h"
#include "tessel/ParamTypes.h"
#include "tessel/Platform.h"

namespace Vellaris
{

namespace
{
bool readsAsNumber(const std::string& text)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    std::strtod(text.c_str(), &end);
    return end && *end == '\0';
}

bool usableValue(const Tessel::IParameter& param, const Tessel::Variant& value)
{
    if (value.isObject() || value.isEmpty())
        return false;
    if (value.isNumeric())
        return true;
    return param.getType() == Tessel::ParamType::kString || readsAsNumber(value.getText());
}

// Whether the tree holds `param` at all: storable ones, and those the filter carries beside them.
bool isKept(const Tessel::IParameter* param, const StorageFilter* filter)
{
    if (!param)
        return false;
    return param->isFlag(Tessel::ParamFlags::kStorable) || (filter && filter->carries(param->getName()));
}

bool checkSection(Tessel::Component& component, const Tessel::Attributes* section, StorageFilter* filter,
                  const std::string& path, std::string& problem)
{
    using Tessel::IStorageFilter;
    if (!section)
        return true; // a missing section restores defaults, as for any parameter a file lacks
    for (int i = 0; i < component.countParameters(); ++i)
    {
        Tessel::IParameter* param = component.getParameterAt(i);
        if (!isKept(param, filter))
            continue;
        if (filter && !filter->includeOnRestore(IStorageFilter::kParameter, param->getName(), param))
            continue;
        const Tessel::Variant* value = section->find(param->getName());
        if (value && !usableValue(*param, *value))
        {
            problem = "\"" + path + "/" + param->getName() + "\" has a value of the wrong type";
            return false;
        }
    }
    for (int i = 0; i < component.countChildren(); ++i)
    {
        Tessel::Component* child = component.getChild(i);
        if (filter && !filter->includeOnRestore(IStorageFilter::kComponent, child->getName(), child))
            continue;
        const Tessel::Variant* value = section->find(child->getName());
        const std::string childPath = path + "/" + child->getName();
        if (!value)
            continue;
        Tessel::Attributes* childSection = value->asInterface<Tessel::Attributes>();
        if (!childSection)
        {
            problem = "\"" + childPath + "\" is not a section";
            return false;
        }
        if (!checkSection(*child, childSection, filter, childPath, problem))
            return false;
    }
    return true;
}

// The carried parameters of `component` and below, into its section (which the storable values
// made already).
void storeCarried(Tessel::Component& component, Tessel::Attributes& section, StorageFilter& filter)
{
    using Tessel::IStorageFilter;
    for (int i = 0; i < component.countParameters(); ++i)
    {
        Tessel::IParameter* param = component.getParameterAt(i);
        if (!param || param->isFlag(Tessel::ParamFlags::kStorable) || !filter.carries(param->getName()) ||
            !filter.includeOnStore(IStorageFilter::kParameter, param->getName(), param))
            continue;
        section.set(param->getName(), param->getValue());
    }
    for (int i = 0; i < component.countChildren(); ++i)
    {
        Tessel::Component* child = component.getChild(i);
        if (!filter.includeOnStore(IStorageFilter::kComponent, child->getName(), child))
            continue;
        if (Tessel::Attributes* childSection = section.getAttributes(child->getName()))
            storeCarried(*child, *childSection, filter);
    }
}

// Sets each carried parameter whose key `section` holds; the others stay as they are.
void restoreCarried(Tessel::Component& component, const Tessel::Attributes& section, StorageFilter& filter)
{
    using Tessel::IStorageFilter;
    for (int i = 0; i < component.countParameters(); ++i)
    {
        Tessel::IParameter* param = component.getParameterAt(i);
        if (!param || param->isFlag(Tessel::ParamFlags::kStorable) || !filter.carries(param->getName()) ||
            !filter.includeOnRestore(IStorageFilter::kParameter, param->getName(), param))
            continue;
        const Tessel::Variant* value = section.find(param->getName());
        if (value && usableValue(*param, *value))
            param->setValue(*value, true);
    }
    for (int i = 0; i < component.countChildren(); ++i)
    {
        Tessel::Component* child = component.getChild(i);
        if (!filter.includeOnRestore(IStorageFilter::kComponent, child->getName(), child))
            continue;
        if (const Tessel::Attributes* childSection = section.getAttributes(child->getName()))
            restoreCarried(*child, *childSection, filter);
    }
}
} // namespace

void PresetFile::storeTree(Tessel::Component& component, Tessel::Attributes& into, StorageFilter* filter)
{
    Tessel::ComponentStorage::store(component, into, filter);
    if (!filter ||
        !filter->includeOnStore(Tessel::IStorageFilter::kComponent, component.getName(), &component))
        return;
    if (Tessel::Attributes* section = into.getAttributes(component.getName()))
        storeCarried(component, *section, *filter);
}

void PresetFile::restoreTree(Tessel::Component& component, const Tessel::Attributes& tree,
                             StorageFilter* filter)
{
    Tessel::ComponentStorage::restore(component, tree, filter);
    if (!filter ||
        !filter->includeOnRestore(Tessel::IStorageFilter::kComponent, component.getName(), &component))
        return;
    // The carried switches follow the values they switch.
    if (const Tessel::Attributes* section = tree.getAttributes(component.getName()))
        restoreCarried(component, *section, *filter);
}

bool PresetFile::save(Tessel::Component& component, const std::string& path, StorageFilter* filter)
{
    JsonCodec::ensureInstalled();
    Tessel::Attributes tree;
    storeTree(component, tree, filter);
    return tree.saveToFile(path);
}

bool PresetFile::load(Tessel::Component& component, const std::string& path, StorageFilter* filter,
                      std::string& problem)
{
    JsonCodec::ensureInstalled();
    std::string bytes;
    if (!Tessel::GetFileSystem()->readFile(path, bytes))
    {
        problem = "it cannot be read";
        return false;
    }
    if (bytes.size() > kMaxBytes)
    {
        problem = "it is too large to be a preset";
        return false;
    }
    Tessel::Attributes tree;
    if (!Tessel::JsonParse(bytes, tree))
    {
        problem = "it is not a valid preset file";
        return false;
    }
    if (!checkStoredForm(component, tree, filter, problem))
        return false;
    restoreTree(component, tree, filter);
    return true;
}

bool PresetFile::checkStoredForm(Tessel::Component& component, const Tessel::Attributes& tree,
                                 StorageFilter* filter, std::string& problem)
{
    const Tessel::Variant* value = tree.find(component.getName());
    Tessel::Attributes* section = value ? value->asInterface<Tessel::Attributes>() : nullptr;
    if (!section)
    {
        problem = "it holds no settings for \"" + component.getName() + "\"";
        return false;
    }
    return checkSection(component, section, filter, component.getName(), problem);
}

} // namespace Vellaris
