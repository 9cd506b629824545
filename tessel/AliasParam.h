#pragma once

#include "tessel/Parameter.h"

namespace Tessel
{

// A parameter that stands for another one (its target). Value, range, normalised value, text,
// curve, formatter, entries, steps and edit gestures are the target's; name, tag, flags, enabled
// state and controller are the alias's own, except that the alias of a secret is secret too. The
// alias observes its target and signals "changed" to its own views whenever the target changes.
// Without a target it behaves as an empty toggle.
class AliasParam : public Parameter
{
    TESSEL_DECLARE_CLASS(AliasParam)
public:
    explicit AliasParam(const std::string& name = {});

    // Sets the target (retained; null clears it) and signals "changed".
    void setTarget(IParameter* target);
    IParameter* getTarget() const { return target.get(); }

    int getType() const override;
    bool isFlag(uint32_t mask) const override;
    void setValue(const Variant& value, bool notify = true) override;
    void setMin(const Variant& minimum) override;
    void setMax(const Variant& maximum) override;
    void setDefaultValue(const Variant& value) override;
    void setSteps(int steps) override;
    void setNormalized(double normalized, bool notify = true) override;
    double getValueNormalized(const Variant& value) const override;
    IParamCurve* getCurve() const override;
    void setCurve(IParamCurve* curve) override;
    void setFormatter(IParamFormatter* formatter) override;
    std::string toString() const override;
    bool fromString(const std::string& text, bool notify = true) override;
    Variant getValue() const override;
    Variant getMin() const override;
    Variant getMax() const override;
    Variant getDefaultValue() const override;
    int getSteps() const override;
    double getNormalized() const override;
    IParamFormatter* getFormatter() const override;
    std::string valueToString(const Variant& value) const override;
    void beginEdit() override;
    void endEdit() override;
    int countEntries() const override;
    std::string getEntry(int index) const override;
    void clearEntries() override;
    void appendEntry(const std::string& text) override;
    IParameter* getOriginal() override;

    // Forwards the target's "changed" to the alias's own observers; when the target is replaced
    // ("replaced") the alias takes the successor as its target.
    void notify(ISubject* subject, const Message& msg) override;

protected:
    ~AliasParam() override;

private:
    SharedPtr<IParameter> target;
};

} // namespace Tessel
