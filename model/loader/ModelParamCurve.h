#pragma once

#include <memory>
#include <string>

#include "model/formats/Interpolator.h"
#include "tessel/IParamCurve.h"
#include "tessel/Unknown.h"

namespace Vellaris
{

// A curve of the curve registry seen as the framework's parameter curve. Owns the curve.
class ModelParamCurve : public Tessel::Unknown, public Tessel::IParamCurve
{
public:
    // `name` is the curve's registry name ("log").
    ModelParamCurve(std::unique_ptr<Core::Interpolator> curve, std::string name);

    void* queryInterface(const Tessel::UID& iid) override;
    int retain() override { return Unknown::retain(); }
    int release() override { return Unknown::release(); }

    double normalizedToValue(double normalized) const override;
    double valueToNormalized(double value) const override;

    // The wrapped curve (for code that evaluates curves in single precision, such as meters).
    Core::Interpolator& getInterpolator() const { return *curve; }
    const std::string& getName() const { return name; }

private:
    std::unique_ptr<Core::Interpolator> curve;
    std::string name;
};

} // namespace Vellaris
