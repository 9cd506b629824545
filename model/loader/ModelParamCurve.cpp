#include "model/loader/ModelParamCurve.h"

namespace Vellaris
{

ModelParamCurve::ModelParamCurve(std::unique_ptr<Core::Interpolator> curve, std::string name)
    : curve(std::move(curve)), name(std::move(name))
{
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
