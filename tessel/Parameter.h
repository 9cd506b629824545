#pragma once

#include "tessel/IParamCurve.h"
#include "tessel/IParamFormatter.h"
#include "tessel/IParameter.h"
#include "tessel/InternedString.h"
#include "tessel/Object.h"
#include "tessel/SharedPtr.h"

namespace Tessel
{

// The parameter class for toggle, integer and float values, and the base of the other kinds.
// Numeric values are held as doubles; toggle and integer values are whole numbers. See
// IParameter for the contract of each operation.
class Parameter : public Object, public IParameter
{
    TESSEL_DECLARE_CLASS(Parameter)
public:
    // A toggle parameter (0..1, value 0) without a name. Exists for the class factory.
    Parameter();
    // A parameter of `type` with the given range; value and default start at the minimum.
    Parameter(int type, double minimum, double maximum, const std::string& name = {});

    // Factories for the common kinds (reference count 1, owned by the caller).
    static Parameter* createToggle(const std::string& name = {});
    static Parameter* createInteger(int64_t minimum, int64_t maximum, const std::string& name = {});
    static Parameter* createFloat(double minimum, double maximum, const std::string& name = {});

    void* queryInterface(const UID& iid) override;
    int retain() override { return Object::retain(); }
    int release() override { return Object::release(); }

    // IParameter, in the interface's order.
    int getType() const override { return type; }
    const std::string& getName() const override { return name.str(); }
    void setName(const std::string& newName) override { name = InternedString(newName); }
    bool isEnabled() const override { return enabled; }
    void enable(bool state) override;
    bool isFlag(uint32_t mask) const override { return (flags & mask) != 0; }
    void setFlag(uint32_t mask, bool on) override;
    void connect(IUnknown* newController, int32_t newTag) override;
    IUnknown* getController() const override { return controller; }
    void setValue(const Variant& value, bool notify = true) override;
    void setMin(const Variant& minimum) override;
    void setMax(const Variant& maximum) override;
    void setDefaultValue(const Variant& value) override;
    void setSteps(int newSteps) override { steps = newSteps; }
    void setNormalized(double normalized, bool notify = true) override;
    double getValueNormalized(const Variant& value) const override;
    IParamCurve* getCurve() const override { return curve.get(); }
    void setCurve(IParamCurve* newCurve) override;
    void setFormatter(IParamFormatter* newFormatter) override;
    std::string toString() const override { return valueToString(getValue()); }
    bool fromString(const std::string& text, bool notify = true) override;

    int32_t getTag() const override { return tag; }
    uint32_t getFlags() const override { return flags; }
    Variant getValue() const override;
    Variant getMin() const override;
    Variant getMax() const override;
    Variant getDefaultValue() const override;
    int getSteps() const override { return steps; }
    double getNormalized() const override { return getValueNormalized(getValue()); }
    IParamFormatter* getFormatter() const override { return formatter.get(); }
    std::string valueToString(const Variant& value) const override;
    void beginEdit() override;
    void endEdit() override;
    void preview(const ParamPreviewEvent& event) override;
    int countEntries() const override { return 0; }
    std::string getEntry(int index) const override { return {}; }
    void clearEntries() override {}
    void appendEntry(const std::string& text) override {}
    IParameter* getOriginal() override { return this; }

    // Sets minimum and maximum together and keeps the value inside.
    void setRange(double minimum, double maximum);
    // The range as numbers.
    double getMinimum() const { return minimum; }
    double getMaximum() const { return maximum; }

    // Name of the parameter as scripts see it; properties "name", "value", "text", "normalized",
    // "enabled", "min", "max", "default", "type", "tag".
    bool getProperty(const std::string& property, Variant& value) const override;

protected:
    ~Parameter() override;

    bool isWholeNumberType() const;
    // Brings a plain number into this parameter's domain: clamped, whole when the type wants it.
    double constrain(double value) const;
    // Stores `newValue` (already constrained); on a change signals "changed" and, when `notify`,
    // tells the controller. Returns whether the value changed.
    bool storeValue(double newValue, bool notify);
    // Whether the installed undo history hears of this parameter's changes and gestures (flags
    // kPublic or kUndoable; the history decides what it keeps).
    bool countsForUndo() const;
    // Hands a notifying change (the value is already stored) and the value before it to the undo
    // history; call before the controller hears of it, so the history keeps the order of causes,
    // and call finishChange with the answer once the controller and the views have heard of it.
    bool recordChange(const Variant& before);
    void finishChange(bool recorded);
    // Tells the controller that the value changed (paramChanged) when it has IParamObserver.
    void notifyController();
    // Signals "changed" to the views.
    void notifyViews();
    // Reads a number from text without a formatter (locale-independent); false when not a number.
    virtual bool scanPlain(const std::string& text, double& value) const;
    // Writes a number as text without a formatter.
    virtual std::string printPlain(double value) const;

    // A mirrored speaker holds hundreds of parameters: the name is shared with every other
    // parameter of that name, and the small fields are packed together at the end.
    InternedString name;
    IUnknown* controller = nullptr;
    double value = 0;
    double minimum = 0;
    double maximum = 1;
    double defaultValue = 0;
    SharedPtr<IParamCurve> curve;
    SharedPtr<IParamFormatter> formatter;
    int32_t tag = 0;
    uint32_t flags = 0;
    int steps = 0;
    int16_t type = ParamType::kToggle;
    bool enabled = true;
};

} // namespace Tessel
