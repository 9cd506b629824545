#include "tessel/MetaClass.h"

#include <cstring>

#include "tessel/ClassFactory.h"

namespace Tessel
{

MetaClass::MetaClass(const char* name, const MetaClass* parent, CreateFunction create, bool registerClass)
    : name(name), parent(parent), create(create)
{
    if (registerClass)
        ClassFactory::registerClass(*this);
}

bool MetaClass::isKindOf(const MetaClass& other) const
{
    for (const MetaClass* m = this; m; m = m->parent)
        if (m == &other)
            return true;
    return false;
}

bool MetaClass::isKindOf(const std::string& className) const
{
    for (const MetaClass* m = this; m; m = m->parent)
        if (className == m->name)
            return true;
    return false;
}

} // namespace Tessel
