#include "tessel/ObjectAddress.h"

#include "tessel/Component.h"
#include "tessel/IParameter.h"
#include "tessel/Variant.h"

namespace Tessel
{

Component* resolveComponentPath(const Component* start, const std::string& path)
{
    const Component* current = start;
    if (!current || path.empty())
        return const_cast<Component*>(current);
    size_t begin = 0;
    while (current)
    {
        size_t slash = path.find('/', begin);
        std::string name = path.substr(begin, slash == std::string::npos ? std::string::npos : slash - begin);
        current = current->findChild(name);
        if (slash == std::string::npos)
            break;
        begin = slash + 1;
    }
    return const_cast<Component*>(current);
}

ObjectTarget resolveObjectName(Component* component, const std::string& name, bool allowComponent)
{
    ObjectTarget target;
    target.name = name;
    if (!component)
        return target;
    if (IParameter* parameter = component->findParameter(name))
    {
        target.kind = ObjectTarget::Kind::Parameter;
        target.component = component;
        target.parameter = parameter;
        return target;
    }
    Variant probe;
    if (!name.empty() && component->getProperty(name, probe))
    {
        target.kind = ObjectTarget::Kind::Property;
        target.component = component;
        return target;
    }
    if (allowComponent)
    {
        if (Component* child = component->findChild(name))
        {
            target.kind = ObjectTarget::Kind::Component;
            target.component = child;
        }
    }
    return target;
}

ObjectTarget resolveObjectPath(const Component* start, const std::string& path, bool allowComponent)
{
    size_t slash = path.rfind('/');
    std::string componentPath = slash == std::string::npos ? std::string() : path.substr(0, slash);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return resolveObjectName(resolveComponentPath(start, componentPath), name, allowComponent);
}

} // namespace Tessel
