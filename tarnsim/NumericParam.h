#pragma once

#include "tarnsim/Parameter.h"

namespace Core::Portable
{

// A toggle, integer or float parameter (and the base of lists). The value is
// a float kept in [min, max]; toggles hold 0 or 1, integers whole numbers.
// The curve is made by name from the registered curves with (min, max, mid).
class NumericParam : public Parameter
{
public:
    NumericParam(const ParamDefinition& definition, IParamObserver* owner, bool notifyOwner);
    ~NumericParam() override;

    bool isNumeric() const override { return true; }
    float getMin() const override { return definition().min; }
    float getMax() const override { return definition().max; }
    float getDefault() const override { return definition().defaultValue; }
    float getValue() const override { return value_; }
    // Equal values change nothing; otherwise the definition is copied first.
    // A new minimum above (maximum below) the value moves the value there
    // without perform(); every other change tells the observers (code 3).
    void setMin(float min) override;
    void setMax(float max) override;
    void setDefault(float value) override;
    // Clamps, makes toggles 0/1 and drops the fraction of integers and lists;
    // an unchanged result does nothing. Otherwise stores it, performs when
    // notify is set, and tells the owner and the observers (code 3).
    void setValue(float value, bool notify) override;
    void resetToDefault(bool notify) override;
    // Through the curve, else linear over the range; 0 for an empty range.
    float getNormalized() const override;
    // Maps back (integers and lists snap to a whole number within 0.001) and
    // calls setValue.
    void setNormalized(float normalized, bool notify) override;
    // Floats move by the step along the normalised position (twice the step
    // when one step leaves the value unchanged); others by count * step.
    void increment(int count) override;
    void decrement(int count) override;
    void toText(char* buffer, std::size_t size) const override;
    // With a formatter: its scan, then setValue. Without: nothing.
    void fromText(const char* text, bool notify) override;
    const Core::Interpolator* curve() const override { return curve_.get(); }

protected:
    float constrain(float value) const;
    void stepBy(int count, int direction);
    void rangeChanged();

    float value_ = 0.0f;

private:
    std::unique_ptr<Core::Interpolator> curve_;
};

} // namespace Core::Portable
