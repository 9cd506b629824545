#include "tessel/Initializer.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "tessel/AliasParam.h"
#include "tessel/ClassFactory.h"
#include "tessel/ColorParam.h"
#include "tessel/CommandParam.h"
#include "tessel/Component.h"
#include "tessel/ListParam.h"
#include "tessel/MenuParam.h"
#include "tessel/StringParam.h"
#include "tessel/Warning.h"

namespace Tessel
{

struct InitializerRegistry
{
    std::vector<Initializer*> entries; // in order of registration

    static InitializerRegistry& instance()
    {
        static InitializerRegistry registry;
        return registry;
    }
};

Initializer::Initializer(const char* name, int order, Function function)
    : name(name), order(order), function(function)
{
    InitializerRegistry::instance().entries.push_back(this);
}

Initializer::~Initializer()
{
    auto& entries = InitializerRegistry::instance().entries;
    entries.erase(std::remove(entries.begin(), entries.end(), this), entries.end());
}

bool Initializer::runInitializers()
{
    auto& entries = InitializerRegistry::instance().entries;
    bool ok = true;
    for (size_t i = 0; i < entries.size(); ++i)
        for (size_t j = 0; j < i; ++j)
            if (!entries[i]->ran && std::string_view(entries[i]->name) == entries[j]->name)
                warning("Initializer \"%s\" is registered twice\n", entries[i]->name);
    for (;;)
    {
        // The earliest in order among those not run yet; ties go to the first registered.
        Initializer* next = nullptr;
        for (Initializer* entry : entries)
            if (!entry->ran && (!next || entry->order < next->order))
                next = entry;
        if (!next)
            break;
        next->ran = true;
        if (next->function && !next->function())
        {
            warning("Initializer \"%s\" failed\n", next->name);
            ok = false;
        }
    }
    return ok;
}

bool Initializer::keep(const Initializer& initializer)
{
    const auto& entries = InitializerRegistry::instance().entries;
    return std::find(entries.begin(), entries.end(), &initializer) != entries.end();
}

int Initializer::countInitializers()
{
    return int(InitializerRegistry::instance().entries.size());
}

namespace
{
// The framework's own start-up: makes sure its classes are known to the class factory by name,
// whatever the linker kept of their static registrations.
bool initializeRuntime()
{
    const MetaClass* classes[] = {&Object::metaClass,      &Component::metaClass,    &Parameter::metaClass,
                                  &StringParam::metaClass, &ListParam::metaClass,    &ColorParam::metaClass,
                                  &AliasParam::metaClass,  &CommandParam::metaClass, &MenuParam::metaClass};
    for (const MetaClass* metaClass : classes)
        ClassFactory::registerClass(*metaClass);
    return true;
}

Initializer runtimeInitializer("Runtime", 900, &initializeRuntime);
} // namespace

} // namespace Tessel
