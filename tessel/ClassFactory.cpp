#include "tessel/ClassFactory.h"

#include <map>

#include "tessel/MetaClass.h"

namespace Tessel
{

namespace
{
// Made on first use, so meta classes of any translation unit may register during static
// initialisation.
std::map<std::string, const MetaClass*>& registry()
{
    static std::map<std::string, const MetaClass*> classes;
    return classes;
}
} // namespace

bool ClassFactory::registerClass(const MetaClass& metaClass)
{
    auto& classes = registry();
    auto [it, inserted] = classes.emplace(metaClass.getName(), &metaClass);
    if (inserted || it->second == &metaClass)
        return true;
    it->second = &metaClass;
    return false;
}

void ClassFactory::unregisterClass(const MetaClass& metaClass)
{
    auto& classes = registry();
    auto it = classes.find(metaClass.getName());
    if (it != classes.end() && it->second == &metaClass)
        classes.erase(it);
}

const MetaClass* ClassFactory::findClass(const std::string& name)
{
    auto& classes = registry();
    auto it = classes.find(name);
    return it == classes.end() ? nullptr : it->second;
}

Object* ClassFactory::createObject(const std::string& name)
{
    const MetaClass* metaClass = findClass(name);
    return metaClass ? metaClass->createObject() : nullptr;
}

std::vector<std::string> ClassFactory::getClassNames()
{
    std::vector<std::string> names;
    for (const auto& entry : registry())
        names.push_back(entry.first);
    return names;
}

} // namespace Tessel
