#include "model/ModelParamCurve.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <tuple>

#include "formats/CurveRegistry.h"

namespace Vellaris
{

ModelParamCurve::ModelParamCurve(std::unique_ptr<Core::Interpolator> curve, std::string name)
    : curve(std::move(curve)), name(std::move(name))
{
}

Tessel::SharedPtr<ModelParamCurve> ModelParamCurve::getShared(const std::string& name, float min, float max,
                                                              float mid)
{
    // Keyed by the numbers' bits: a total order even for NaN, and equal keys mean equal curves.
    auto bits = [](float value)
    {
        uint32_t word = 0;
        std::memcpy(&word, &value, sizeof word);
        return word;
    };
    using Key = std::tuple<std::string, uint32_t, uint32_t, uint32_t>;
    // Never destroyed: parameters that outlive the program's static objects may still hold one.
    static auto* curves = new std::map<Key, Tessel::AutoPtr<ModelParamCurve>>;
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    const Key key(name, bits(min), bits(max), bits(mid));
    auto known = curves->find(key);
    if (known != curves->end())
        return known->second;
    std::unique_ptr<Core::Interpolator> curve = Core::createCurve(name.c_str());
    if (!curve)
        return nullptr;
    curve->setRange(min, max, mid);
    return curves->emplace(key, new ModelParamCurve(std::move(curve), name)).first->second;
}

void* ModelParamCurve::queryInterface(const Tessel::UID& iid)
{
    TESSEL_QUERY_INTERFACE(Tessel::IParamCurve)
    return Unknown::queryInterface(iid);
}

double ModelParamCurve::normalizedToValue(double normalized) const
{
    return double(curve->normalizedToValue(float(normalized)));
}

double ModelParamCurve::valueToNormalized(double value) const
{
    return double(curve->valueToNormalized(float(value)));
}

} // namespace Vellaris
