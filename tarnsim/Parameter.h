#pragma once

#include "tarnsim/ParamDefinition.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Core
{
class Formatter;
class Interpolator;
} // namespace Core

namespace Core::Portable
{

class Parameter;

// Gets told about a parameter's changes. Codes: kHidden 0, kShown 1,
// kPerformed 2, kChanged 3 (value or state), kRangeChanged 4, kDestroyed 5.
class IParamObserver
{
public:
    enum Code
    {
        kHidden = 0,
        kShown = 1,
        kPerformed = 2,
        kChanged = 3,
        kRangeChanged = 4,
        kDestroyed = 5
    };
    virtual void paramChanged(Parameter* parameter, int code) = 0;

protected:
    ~IParamObserver() = default;
};

// A parameter of the simulator's component tree, made from a definition
// record. The owner (its component) is told about changes when the parameter
// was created with owner notification; up to kMaxObservers further observers
// are told as well.
class Parameter
{
public:
    enum Flag : uint32_t
    {
        kOwnsDefinition = 0x1, // holds a private copy of its definition
        kDisabled = 0x2,
        kHidden = 0x4,
        kNotifiesOwner = 0x8,
    };
    static constexpr std::size_t kMaxObservers = 5;

    Parameter(const ParamDefinition& definition, IParamObserver* owner, bool notifyOwner);
    virtual ~Parameter();
    Parameter(const Parameter&) = delete;
    Parameter& operator=(const Parameter&) = delete;

    virtual Parameter* asParameter() { return this; }
    // Sets (clears) the hidden flag and tells the owner (code 0, 1).
    virtual void hide();
    virtual void show();
    virtual bool isHidden() const { return (flags_ & kHidden) != 0; }
    // Tells the owner that the parameter was performed (code 2).
    virtual void perform();
    virtual bool isEnabled() const { return (flags_ & kDisabled) == 0; }
    // On a change: the owner and the observers get code 3.
    virtual void setEnabled(bool enabled);
    virtual bool isNumeric() const { return false; }
    // Numeric operations; a text parameter answers 0 and does nothing.
    virtual float getMin() const { return 0.0f; }
    virtual float getMax() const { return 0.0f; }
    virtual float getDefault() const { return 0.0f; }
    virtual float getValue() const { return 0.0f; }
    // 1 / step, 0 when the step is 0.
    virtual float getStepCount() const;
    virtual void setMin(float) {}
    virtual void setMax(float) {}
    virtual void setDefault(float) {}
    virtual void setValue(float, bool notify) {}
    virtual void resetToDefault(bool notify) {}
    virtual float getNormalized() const { return 0.0f; }
    virtual void setNormalized(float, bool notify) {}
    virtual void increment(int count) {}
    virtual void decrement(int count) {}
    // Writes the text form into buffer (size bytes, always terminated).
    virtual void toText(char* buffer, std::size_t size) const;
    virtual void fromText(const char* text, bool notify) {}

    // The text form as a string (at most 255 bytes).
    std::string text() const;
    const ParamDefinition& definition() const { return *definition_; }
    std::string_view name() const { return definition_->name; }
    int32_t tag() const { return definition_->tag; }
    uint32_t type() const { return definition_->type; }
    bool isPrivate() const { return (definition_->flags & ParamDefinition::kPrivate) != 0; }
    bool isStorable() const { return (definition_->flags & ParamDefinition::kStorable) != 0; }
    bool isMutable() const { return (definition_->flags & ParamDefinition::kMutable) != 0; }
    bool ownsDefinition() const { return (flags_ & kOwnsDefinition) != 0; }
    // The formatter found by name at creation, or null.
    const Core::Formatter* formatter() const { return formatter_; }
    // The curve, or null (numeric parameters only).
    virtual const Core::Interpolator* curve() const { return nullptr; }
    // List entries (list parameters only), entries 0..max.
    virtual int entryCount() const { return 0; }
    virtual const char* entry(int index) const { return nullptr; }
    IParamObserver* owner() const { return owner_; }

    // Observers beyond the owner; adding more than kMaxObservers fails.
    bool addObserver(IParamObserver* observer);
    void removeObserver(IParamObserver* observer);

protected:
    // The owner (when the parameter notifies it) and then the observers get code.
    void notifyChanged(int code);
    void notifyOwner(int code);
    void notifyObservers(int code);
    // The definition to change: copied from the shared record on first use.
    ParamDefinition& writableDefinition();

    uint32_t flags_ = 0;

private:
    const ParamDefinition* definition_;
    std::unique_ptr<ParamDefinition> ownDefinition_;
    const Core::Formatter* formatter_ = nullptr;
    IParamObserver* owner_;
    std::vector<IParamObserver*> observers_;
};

// Makes the parameter kind for a definition's type.
std::unique_ptr<Parameter> createParameter(const ParamDefinition& definition, IParamObserver* owner,
                                           bool notifyOwner);

} // namespace Core::Portable
