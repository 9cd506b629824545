#include "tarnsim/NumericParam.h"

#include "formats/CurveRegistry.h"
#include "formats/Formatter.h"
#include "protocol/NormalizedValue.h"

#include <cmath>
#include <cstdio>

namespace Core::Portable
{

NumericParam::NumericParam(const ParamDefinition& definition, IParamObserver* owner, bool notifyOwner)
    : Parameter(definition, owner, notifyOwner)
{
    if (definition.curveName && definition.curveName[0])
    {
        curve_ = Core::createCurve(definition.curveName);
        if (curve_)
            curve_->setRange(definition.min, definition.max, definition.curveMid);
    }
    value_ = constrain(definition.defaultValue);
}

NumericParam::~NumericParam() = default;

float NumericParam::constrain(float value) const
{
    const ParamDefinition& def = definition();
    if (std::isnan(value))
        value = def.min;
    if (value < def.min)
        value = def.min;
    if (value > def.max)
        value = def.max;
    switch (def.type)
    {
    case ParamDefinition::kToggle:
        return value != 0.0f ? 1.0f : 0.0f;
    case ParamDefinition::kInteger:
    case ParamDefinition::kList:
        return std::trunc(value);
    default:
        return value;
    }
}

void NumericParam::setValue(float value, bool notify)
{
    const float result = constrain(value);
    if (result == value_)
        return;
    value_ = result;
    if (notify)
        perform();
    notifyChanged(IParamObserver::kChanged);
}

void NumericParam::resetToDefault(bool notify)
{
    setValue(getDefault(), notify);
}

void NumericParam::rangeChanged()
{
    if (curve_)
        curve_->setRange(definition().min, definition().max, definition().curveMid);
}

void NumericParam::setMin(float min)
{
    if (min == definition().min)
        return;
    writableDefinition().min = min;
    rangeChanged();
    if (min > value_)
    {
        // Moves the value without perform(); setValue tells owner and observers.
        setValue(min, false);
        return;
    }
    notifyObservers(IParamObserver::kChanged);
}

void NumericParam::setMax(float max)
{
    if (max == definition().max)
        return;
    writableDefinition().max = max;
    rangeChanged();
    if (max < value_)
    {
        setValue(max, false);
        return;
    }
    notifyObservers(IParamObserver::kChanged);
}

void NumericParam::setDefault(float value)
{
    if (value == definition().defaultValue)
        return;
    writableDefinition().defaultValue = value;
    notifyObservers(IParamObserver::kChanged);
}

float NumericParam::getNormalized() const
{
    return Vellaris::LK::toNormalized(value_, definition().min, definition().max, curve_.get());
}

void NumericParam::setNormalized(float normalized, bool notify)
{
    if (std::isnan(normalized))
        normalized = 0.0f;
    float value = Vellaris::LK::fromNormalized(normalized, definition().min, definition().max, curve_.get());
    const uint32_t type = definition().type;
    if (type == ParamDefinition::kInteger || type == ParamDefinition::kList)
        value = Vellaris::LK::wholeFromNormalizedValue(value);
    setValue(value, notify);
}

void NumericParam::stepBy(int count, int direction)
{
    const ParamDefinition& def = definition();
    if (def.type != ParamDefinition::kFloat)
    {
        setValue(value_ + static_cast<float>(direction) * static_cast<float>(count) * def.step, true);
        return;
    }
    bool changed = false;
    for (int i = 0; i < count; ++i)
    {
        const float position = getNormalized();
        if ((direction > 0 && position >= 1.0f) || (direction < 0 && position <= 0.0f))
            break;
        auto valueAt = [&](float step)
        {
            float target = position + static_cast<float>(direction) * step;
            target = target < 0.0f ? 0.0f : (target > 1.0f ? 1.0f : target);
            float value = Vellaris::LK::fromNormalized(target, def.min, def.max, curve_.get());
            return value < def.min ? def.min : (value > def.max ? def.max : value);
        };
        float value = valueAt(def.step);
        if (value == value_)
            value = valueAt(2.0f * def.step);
        if (value != value_)
        {
            value_ = value;
            changed = true;
        }
    }
    if (changed)
    {
        perform();
        notifyChanged(IParamObserver::kChanged);
    }
}

void NumericParam::increment(int count)
{
    stepBy(count, 1);
}

void NumericParam::decrement(int count)
{
    stepBy(count, -1);
}

void NumericParam::toText(char* buffer, std::size_t size) const
{
    if (!buffer || size == 0)
        return;
    buffer[0] = 0;
    if (const Core::Formatter* format = formatter())
    {
        float range[2] = {definition().min, definition().max};
        Core::FormatterData data;
        data.text = buffer;
        data.capacity = static_cast<int32_t>(size);
        data.value = value_;
        data.range = range;
        format->print(data);
        buffer[size - 1] = 0;
        return;
    }
    switch (definition().type)
    {
    case ParamDefinition::kToggle:
        std::snprintf(buffer, size, "%s", value_ != 0.0f ? "On" : "Off");
        break;
    case ParamDefinition::kInteger:
        std::snprintf(buffer, size, "%d", static_cast<int>(value_));
        break;
    default:
        if (definition().max <= 1.0f)
            std::snprintf(buffer, size, "%.02f", static_cast<double>(value_));
        else
            std::snprintf(buffer, size, "%d", static_cast<int>(value_));
        break;
    }
}

void NumericParam::fromText(const char* text, bool notify)
{
    const Core::Formatter* format = formatter();
    if (!format || !text)
        return;
    char buffer[256];
    std::snprintf(buffer, sizeof(buffer), "%s", text);
    float range[2] = {definition().min, definition().max};
    Core::FormatterData data;
    data.text = buffer;
    data.capacity = static_cast<int32_t>(sizeof(buffer));
    data.value = value_;
    data.range = range;
    if (format->scan(data))
        setValue(data.value, notify);
}

} // namespace Core::Portable
