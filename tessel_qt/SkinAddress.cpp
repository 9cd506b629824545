#include "tessel_qt/SkinAddress.h"

#include "tessel/Component.h"
#include "tessel/IParameter.h"
#include "tessel/Variant.h"

namespace Tessel::Qt
{

namespace
{
// "://roomdesk/Application/x" -> "Application/x"; a bare path stays as it is.
std::string stripScheme(const std::string& address)
{
    if (address.compare(0, 3, "://") != 0)
        return address;
    size_t slash = address.find('/', 3);
    return slash == std::string::npos ? std::string() : address.substr(slash + 1);
}
} // namespace

bool splitSkinAddress(const std::string& address, const std::string& base, std::string& componentPath,
                      std::string& name)
{
    std::string full = stripScheme(address);
    if (address.compare(0, 3, "://") != 0 && !base.empty())
    {
        std::string prefix = stripScheme(base);
        if (!prefix.empty())
            full = prefix + "/" + full;
    }
    size_t slash = full.rfind('/');
    if (slash == std::string::npos)
    {
        componentPath.clear();
        name = full;
    }
    else
    {
        componentPath = full.substr(0, slash);
        name = full.substr(slash + 1);
    }
    return !name.empty();
}

Component* resolveSkinComponent(const std::string& address)
{
    std::string path = stripScheme(address);
    return path.empty() ? nullptr : getRootComponent()->lookupChild(path);
}

SkinTarget resolveSkinAddress(const std::string& address, const std::string& base)
{
    SkinTarget target;
    std::string path;
    if (!splitSkinAddress(address, base, path, target.name))
        return target;
    Component* component = getRootComponent()->lookupChild(path);
    if (!component)
        return target;
    if (IParameter* parameter = component->findParameter(target.name))
    {
        target.component = component;
        target.parameter = parameter;
        return target;
    }
    Variant probe;
    if (component->getProperty(target.name, probe))
    {
        target.component = component;
        target.isProperty = true;
    }
    return target;
}

} // namespace Tessel::Qt
