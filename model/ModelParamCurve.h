#pragma once

#include <memory>
#include <string>

#include "formats/Interpolator.h"
#include "tessel/IParamCurve.h"
#include "tessel/SharedPtr.h"
#include "tessel/Unknown.h"

namespace Vellaris
{

// A curve of the curve registry seen as the framework's parameter curve. Owns the curve.
class ModelParamCurve : public Tessel::Unknown, public Tessel::IParamCurve
{
public:
    // `name` is the curve's registry name ("log").
    ModelParamCurve(std::unique_ptr<Core::Interpolator> curve, std::string name);
    // The registry's curve `name` over min, max and mid (Interpolator::setRange), shared by every
    // parameter that asks for the same four: a curve is not changed once made, and every speaker
    // of a model asks for the same ones. Kept for the whole run; nullptr when the registry has no
    // curve of that name.
    static Tessel::SharedPtr<ModelParamCurve> getShared(const std::string& name, float min, float max,
                                                        float mid);

    void* queryInterface(const Tessel::UID& iid) override;
    int retain() override { return Unknown::retain(); }
    int release() override { return Unknown::release(); }

    double normalizedToValue(double normalized) const override;
    double valueToNormalized(double value) const override;

    // The wrapped curve (for code that evaluates curves in single precision, such as meters). It
    // may be shared with other parameters (getShared): read it, do not change it.
    const Core::Interpolator& getInterpolator() const { return *curve; }
    const std::string& getName() const { return name; }

private:
    std::unique_ptr<Core::Interpolator> curve;
    std::string name;
};

} // namespace Vellaris
