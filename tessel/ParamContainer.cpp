#include "tessel/ParamContainer.h"

#include "tessel/Warning.h"

#include "tessel/ISubject.h"
#include "tessel/Message.h"

#include "tessel/AliasParam.h"
#include "tessel/ColorParam.h"
#include "tessel/CommandParam.h"
#include "tessel/ListParam.h"
#include "tessel/MenuParam.h"
#include "tessel/Parameter.h"
#include "tessel/StringParam.h"

namespace Tessel
{

ParamContainer::~ParamContainer()
{
    removeAll();
}

IParameter* ParamContainer::add(IParameter* param, int32_t tag)
{
    if (!param)
        return nullptr;
    if (lookup(param->getName()))
    {
        warning("Parameter \"%s\" exists already; the second one is not added\n", param->getName().c_str());
        param->release();
        return nullptr;
    }
    param->connect(controller, tag);
    params.push_back(param);
    return param;
}

bool ParamContainer::remove(IParameter* param)
{
    for (auto it = params.begin(); it != params.end(); ++it)
    {
        if (*it == param)
        {
            params.erase(it);
            // Someone else may still hold it: it must not call back into a controller it left.
            param->connect(nullptr, param->getTag());
            param->release();
            return true;
        }
    }
    return false;
}

IParameter* ParamContainer::replace(IParameter* old, IParameter* replacement)
{
    if (!replacement)
        return nullptr;
    const int index = old ? indexOf(old) : -1;
    IParameter* sameName = lookup(replacement->getName());
    if (index < 0 || replacement == old || (sameName && sameName != old))
    {
        if (index >= 0 && sameName && sameName != old)
            warning("Parameter \"%s\" exists already; \"%s\" is not replaced by it\n",
                    replacement->getName().c_str(), old->getName().c_str());
        replacement->release();
        return nullptr;
    }
    replacement->connect(controller, old->getTag());
    params[size_t(index)] = replacement;
    old->connect(nullptr, old->getTag());
    // Views of the old parameter hear of the new one while both still exist.
    if (ISubject* subject = unknownCast<ISubject>(old))
        subject->signal(Message(Messages::kReplaced, {Variant(static_cast<IUnknown*>(replacement))}));
    old->release();
    return replacement;
}

void ParamContainer::removeAll()
{
    while (!params.empty())
    {
        IParameter* param = params.back();
        params.pop_back();
        param->connect(nullptr, param->getTag());
        param->release();
    }
}

IParameter* ParamContainer::lookup(const std::string& name) const
{
    for (IParameter* param : params)
        if (param->getName() == name)
            return param;
    return nullptr;
}

IParameter* ParamContainer::lookupByTag(int32_t tag) const
{
    for (IParameter* param : params)
        if (param->getTag() == tag)
            return param;
    return nullptr;
}

IParameter* ParamContainer::at(int index) const
{
    if (index < 0 || index >= int(params.size()))
        return nullptr;
    return params[size_t(index)];
}

int ParamContainer::indexOf(const IParameter* param) const
{
    for (size_t i = 0; i < params.size(); ++i)
        if (params[i] == param)
            return int(i);
    return -1;
}

namespace
{
// Names `param`, adds it and returns it as its own class, or nullptr when the name is taken.
template <class P> P* addNamed(ParamContainer& container, P* param, const std::string& name, int32_t tag)
{
    param->setName(name);
    return container.add(param, tag) ? param : nullptr;
}
} // namespace

Parameter* ParamContainer::addParam(const std::string& name, int32_t tag)
{
    return addNamed(*this, Parameter::createToggle(), name, tag);
}

Parameter* ParamContainer::addFloat(double minimum, double maximum, const std::string& name, int32_t tag)
{
    return addNamed(*this, Parameter::createFloat(minimum, maximum), name, tag);
}

Parameter* ParamContainer::addInteger(int64_t minimum, int64_t maximum, const std::string& name, int32_t tag)
{
    return addNamed(*this, Parameter::createInteger(minimum, maximum), name, tag);
}

StringParam* ParamContainer::addString(const std::string& name, int32_t tag)
{
    return addNamed(*this, new StringParam, name, tag);
}

ListParam* ParamContainer::addList(const std::string& name, int32_t tag)
{
    return addNamed(*this, new ListParam, name, tag);
}

MenuParam* ParamContainer::addMenu(const std::string& name, int32_t tag)
{
    return addNamed(*this, new MenuParam, name, tag);
}

CommandParam* ParamContainer::addCommand(const std::string& category, const std::string& command,
                                         const std::string& name, int32_t tag)
{
    CommandParam* param = new CommandParam;
    param->setCommand(category, command);
    return addNamed(*this, param, name, tag);
}

ColorParam* ParamContainer::addColor(const std::string& name, int32_t tag)
{
    return addNamed(*this, new ColorParam, name, tag);
}

AliasParam* ParamContainer::addAlias(IParameter* target, const std::string& name, int32_t tag)
{
    AliasParam* param = new AliasParam;
    param->setTarget(target);
    return addNamed(*this, param, name, tag);
}

} // namespace Tessel
