#pragma once

#include <cstdint>
#include <string>

#include "tessel/IUnknown.h"
#include "tessel/ParamTypes.h"
#include "tessel/Variant.h"

namespace Tessel
{

class IParamCurve;
class IParamFormatter;

// A named, typed value of a component that views bind to. The first group of operations is the
// interface's fixed order; further operations follow. A parameter is also an ISubject: its views
// observe it and receive "changed" after any change of value, range, entries or enabled state,
// "beginEdit" and "endEdit" around edit gestures, and "replaced" (arg 0: the successor) when its
// component swaps it for another parameter (ParamContainer::replace).
// Its controller (the component holding it, not retained) receives paramChanged for notifying
// value changes and paramEdit for edit gestures. GUI thread only.
class IParameter : public virtual IUnknown
{
public:
    static constexpr UID kIID{0x7E55E100, 0x0014, 0x4000, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x14};

    // Type code (ParamType).
    virtual int getType() const = 0;
    virtual const std::string& getName() const = 0;
    virtual void setName(const std::string& name) = 0;
    virtual bool isEnabled() const = 0;
    // Changes the enabled state; views get "changed" only when the state actually changes.
    virtual void enable(bool state) = 0;
    // True when any bit of `mask` is set.
    virtual bool isFlag(uint32_t mask) const = 0;
    // Sets (`on`) or clears the bits of `mask`.
    virtual void setFlag(uint32_t mask, bool on) = 0;
    // Stores the controller (not retained; null disconnects) and the tag.
    virtual void connect(IUnknown* controller, int32_t tag) = 0;
    virtual IUnknown* getController() const = 0;
    // Sets the plain value: numbers are clamped to the range, integer, toggle and list values drop
    // their fraction, texts are read as by fromString for numeric types; empty and object values
    // are ignored. Views always get "changed" when the value changes; the controller gets
    // paramChanged only when `notify`.
    virtual void setValue(const Variant& value, bool notify = true) = 0;
    virtual void setMin(const Variant& minimum) = 0;
    virtual void setMax(const Variant& maximum) = 0;
    virtual void setDefaultValue(const Variant& value) = 0;
    // Number of steps for controls (0: continuous).
    virtual void setSteps(int steps) = 0;
    // Sets the value from a normalised position (clamped to 0..1), through the curve when there is
    // one, else linearly. Integer, toggle and list values round to the nearest whole number when
    // within 0.001 of it and drop the fraction otherwise. `notify` as for setValue.
    virtual void setNormalized(double normalized, bool notify = true) = 0;
    // Normalised position (0..1) of a plain value (through the curve, else linear; 0 when
    // minimum equals maximum).
    virtual double getValueNormalized(const Variant& value) const = 0;
    virtual IParamCurve* getCurve() const = 0;
    // Sets the curve (retained; null for linear).
    virtual void setCurve(IParamCurve* curve) = 0;
    // Sets the formatter (retained; null for the built-in text form).
    virtual void setFormatter(IParamFormatter* formatter) = 0;
    // The value as text (through the formatter when there is one).
    virtual std::string toString() const = 0;
    // Sets the value from text (through the formatter when there is one); returns false and keeps
    // the value when the text cannot be read. `notify` as for setValue.
    virtual bool fromString(const std::string& text, bool notify = true) = 0;

    // Further operations.

    virtual int32_t getTag() const = 0;
    virtual uint32_t getFlags() const = 0;
    // Plain value: int for toggle, integer, list and color; double for float; text for string.
    virtual Variant getValue() const = 0;
    virtual Variant getMin() const = 0;
    virtual Variant getMax() const = 0;
    virtual Variant getDefaultValue() const = 0;
    virtual int getSteps() const = 0;
    // Normalised position of the current value.
    virtual double getNormalized() const = 0;
    virtual IParamFormatter* getFormatter() const = 0;
    // Text of an arbitrary plain value as this parameter would show it.
    virtual std::string valueToString(const Variant& value) const = 0;
    // Begins and ends an edit gesture: sets / clears the being-edited flag (kEditing), tells the
    // controller (paramEdit) and then signals "beginEdit" / "endEdit" to the views, so a view can
    // show that someone holds the control. A nested begin or an end without begin does nothing.
    virtual void beginEdit() = 0;
    virtual void endEdit() = 0;
    // Hands a preview to the controller's IParamPreviewHandler (if it has one).
    virtual void preview(const ParamPreviewEvent& event) = 0;
    // List entries (list parameters only; other types have none and ignore changes). Changing the
    // entries sets the range to 0..count-1 and signals "changed".
    virtual int countEntries() const = 0;
    virtual std::string getEntry(int index) const = 0;
    virtual void clearEntries() = 0;
    virtual void appendEntry(const std::string& text) = 0;
    // The parameter this one stands for (an alias returns its target, others themselves). Borrowed.
    virtual IParameter* getOriginal() = 0;
};

} // namespace Tessel
