#pragma once

#include "tarnsim/Parameter.h"

namespace Core::Portable
{

// Forwards every value operation to another parameter (none: inert). Its own
// flags (hidden, disabled) stay its own.
class AliasParam : public Parameter
{
public:
    using Parameter::Parameter;

    void setTarget(Parameter* target) { target_ = target; }
    Parameter* target() const { return target_; }

    bool isNumeric() const override { return target_ && target_->isNumeric(); }
    float getMin() const override { return target_ ? target_->getMin() : 0.0f; }
    float getMax() const override { return target_ ? target_->getMax() : 0.0f; }
    float getDefault() const override { return target_ ? target_->getDefault() : 0.0f; }
    float getValue() const override { return target_ ? target_->getValue() : 0.0f; }
    void setMin(float v) override
    {
        if (target_)
            target_->setMin(v);
    }
    void setMax(float v) override
    {
        if (target_)
            target_->setMax(v);
    }
    void setDefault(float v) override
    {
        if (target_)
            target_->setDefault(v);
    }
    void setValue(float v, bool notify) override
    {
        if (target_)
            target_->setValue(v, notify);
    }
    void resetToDefault(bool notify) override
    {
        if (target_)
            target_->resetToDefault(notify);
    }
    float getNormalized() const override { return target_ ? target_->getNormalized() : 0.0f; }
    void setNormalized(float n, bool notify) override
    {
        if (target_)
            target_->setNormalized(n, notify);
    }
    void increment(int count) override
    {
        if (target_)
            target_->increment(count);
    }
    void decrement(int count) override
    {
        if (target_)
            target_->decrement(count);
    }
    void toText(char* buffer, std::size_t size) const override
    {
        if (target_)
            target_->toText(buffer, size);
        else
            Parameter::toText(buffer, size);
    }
    void fromText(const char* text, bool notify) override
    {
        if (target_)
            target_->fromText(text, notify);
    }

private:
    Parameter* target_ = nullptr;
};

} // namespace Core::Portable
