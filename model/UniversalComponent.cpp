#include "model/UniversalComponent.h"

#include <set>
#include <string_view>

#include <algorithm>
#include <cmath>

#include "formats/CurveRegistry.h"
#include "formats/FormatterRegistry.h"
#include "model/ModelParamCurve.h"
#include "model/ModelParamFormatter.h"
#include "model/ModelSyntax.h"
#include "tessel/ClassFactory.h"
#include "tessel/ColorParam.h"
#include "tessel/ListParam.h"
#include "tessel/Parameter.h"
#include "tessel/StringParam.h"
#include "tessel/Warning.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS(UniversalComponent, Tessel::Component)

namespace
{

using namespace ModelSyntax;

// A parameter of the class named `classname` (must be a parameter class), or nullptr.
Tessel::IParameter* createFromClass(const std::string& classname)
{
    const Tessel::MetaClass* metaClass = Tessel::ClassFactory::findClass(classname);
    if (!metaClass || !metaClass->isKindOf(Tessel::Parameter::metaClass))
        return nullptr;
    Tessel::Object* object = metaClass->createObject();
    Tessel::IParameter* param = object ? Tessel::unknownCast<Tessel::IParameter>(object) : nullptr;
    if (!param && object)
        object->release();
    return param;
}

int64_t toInteger(double value)
{
    constexpr double kLimit = 9.2e18;
    return int64_t(std::clamp(value, -kLimit, kLimit));
}

Tessel::IParameter* createByType(const ParamDescription& d)
{
    switch (d.type)
    {
    case kInt:
        return Tessel::Parameter::createInteger(toInteger(d.min), toInteger(d.max), d.id);
    case kList:
    {
        auto* list = new Tessel::ListParam(d.id);
        list->setEntries(d.entries);
        return list;
    }
    case kFloat:
        return Tessel::Parameter::createFloat(d.min, d.max, d.id);
    case kString:
        return new Tessel::StringParam(d.id);
    case kColor:
        return new Tessel::ColorParam(d.id);
    default: // toggle, alias and anything else
        return Tessel::Parameter::createToggle(d.id);
    }
}

void setFlags(Tessel::IParameter& param, uint32_t bits)
{
    param.setFlag(Tessel::ParamFlags::kPublic, !(bits & kPrivate));
    param.setFlag(Tessel::ParamFlags::kStorable, bits & kStorable);
    param.setFlag(Tessel::ParamFlags::kLinkable, bits & kLinkable);
    param.setFlag(Tessel::ParamFlags::kMutable, bits & kMutable);
    param.setFlag(Tessel::ParamFlags::kReadOnly, bits & kReadOnly);
}

} // namespace

UniversalComponent::UniversalComponent() = default;

UniversalComponent::~UniversalComponent() = default;

void UniversalComponent::setClassData(const Tessel::Attributes&) {}

void UniversalComponent::idleTick()
{
    for (int i = 0; i < countChildren(); ++i)
    {
        if (auto* child = Tessel::classCast<UniversalComponent>(getChild(i)))
            child->idleTick();
    }
}

Tessel::IParameter* UniversalComponent::addParameter(const ParamDescription& description)
{
    Tessel::IParameter* param = createParameter(description);
    if (!getParams().add(param, description.tag))
    {
        Tessel::warning("LK Parameter \"%s\" exists already in \"%s\"\n", description.id.c_str(),
                        getName().c_str());
        return nullptr;
    }
    if (!description.name.empty())
        setDisplayName(description.id, description.name);
    return param;
}

const std::string& UniversalComponent::getDisplayName(const std::string& paramId) const
{
    static const std::string none;
    for (const DisplayName* entry : displayNames)
        if (entry->first == paramId)
            return entry->second;
    return none;
}

void UniversalComponent::setDisplayName(const std::string& paramId, const std::string& displayName)
{
    // GUI thread only, like every component; the pairs live as long as the process. Looked up
    // without copying the texts: a thousand speakers ask for the same few hundred pairs.
    struct Less
    {
        using is_transparent = void;
        using Key = std::pair<std::string_view, std::string_view>;
        static Key key(const DisplayName& pair) { return {pair.first, pair.second}; }
        bool operator()(const DisplayName& a, const DisplayName& b) const { return key(a) < key(b); }
        bool operator()(const DisplayName& a, const Key& b) const { return key(a) < b; }
        bool operator()(const Key& a, const DisplayName& b) const { return a < key(b); }
    };
    static std::set<DisplayName, Less> shared;
    auto known = shared.find(Less::Key(paramId, displayName));
    if (known == shared.end())
        known = shared.emplace(paramId, displayName).first;
    const DisplayName* entry = &*known;
    for (const DisplayName*& known : displayNames)
    {
        if (known->first == paramId)
        {
            known = entry;
            return;
        }
    }
    displayNames.push_back(entry);
}

void UniversalComponent::shrinkToFit()
{
    displayNames.shrink_to_fit();
    Component::shrinkToFit();
}

Tessel::IParameter* UniversalComponent::createParameter(const ParamDescription& d)
{
    if (!d.classname.empty())
    {
        if (Tessel::IParameter* param = createFromClass(d.classname))
        {
            param->setName(d.id);
            setFlags(*param, d.flags);
            return param;
        }
    }

    Tessel::IParameter* param = createByType(d);
    if (d.type != kString)
    {
        param->setDefaultValue(Tessel::Variant(d.def));
        param->setValue(Tessel::Variant(d.def), false);
        if (d.steps > 0)
            param->setSteps(int(std::min(d.steps, 1e9)));
    }
    if (!d.units.empty() && d.type != kList)
    {
        if (Core::Formatter* formatter = Core::findFormatter(d.units.c_str()))
            param->setFormatter(ModelParamFormatter::getShared(*formatter));
        else
            Tessel::warning("Formatter not found: %s\n", d.units.c_str());
    }
    if (!d.curve.empty())
    {
        if (Tessel::SharedPtr<ModelParamCurve> curve =
                ModelParamCurve::getShared(d.curve, float(d.min), float(d.max), float(d.mid)))
            param->setCurve(curve);
        else
            Tessel::warning("Curve not found: %s\n", d.curve.c_str());
    }
    param->setFlag(Tessel::ParamFlags::kBipolar, d.flags & kBipolar);
    setFlags(*param, d.flags);
    return param;
}

} // namespace Vellaris
