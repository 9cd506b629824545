#include "tessel/Parameter.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tessel/IParamObserver.h"
#include "tessel/IParamPreviewHandler.h"
#include "tessel/UndoHistory.h"

namespace Tessel
{

TESSEL_DEFINE_CLASS(Parameter, Object)

namespace
{
// A normalised value mapped back to a whole number lands a hair off in single precision
// (13 comes back as 12.999998): within this distance of a whole number it counts as that number.
constexpr double kWholeNumberTolerance = 0.001;

double wholeFromNormalized(double v)
{
    double nearest = std::round(v);
    if (std::fabs(v - nearest) <= kWholeNumberTolerance)
        return nearest;
    return std::trunc(v);
}
} // namespace

Parameter::Parameter() = default;

Parameter::Parameter(int type, double minimum, double maximum, const std::string& name)
    : name(name), value(minimum), minimum(minimum), maximum(maximum), defaultValue(minimum),
      type(int16_t(type))
{
    if (isWholeNumberType())
    {
        this->minimum = std::trunc(minimum);
        this->maximum = std::trunc(maximum);
        value = defaultValue = this->minimum;
    }
}

Parameter::~Parameter()
{
    // A gesture that never ended must not keep the undo history's step open.
    if (isFlag(ParamFlags::kEditing) && countsForUndo())
        if (UndoHistory* history = GetUndoHistory())
            history->paramEditEnded(this);
}

bool Parameter::countsForUndo() const
{
    return isFlag(ParamFlags::kPublic | ParamFlags::kUndoable) && GetUndoHistory() != nullptr;
}

bool Parameter::recordChange(const Variant& before)
{
    UndoHistory* history = GetUndoHistory();
    return history && history->paramChanged(this, before);
}

void Parameter::finishChange(bool recorded)
{
    if (recorded)
        if (UndoHistory* history = GetUndoHistory())
            history->paramChangeFinished();
}

Parameter* Parameter::createToggle(const std::string& name)
{
    return new Parameter(ParamType::kToggle, 0, 1, name);
}

Parameter* Parameter::createInteger(int64_t minimum, int64_t maximum, const std::string& name)
{
    return new Parameter(ParamType::kInteger, double(minimum), double(maximum), name);
}

Parameter* Parameter::createFloat(double minimum, double maximum, const std::string& name)
{
    return new Parameter(ParamType::kFloat, minimum, maximum, name);
}

void* Parameter::queryInterface(const UID& iid)
{
    TESSEL_QUERY_INTERFACE(IParameter)
    return Object::queryInterface(iid);
}

bool Parameter::isWholeNumberType() const
{
    return type == ParamType::kToggle || type == ParamType::kInteger || type == ParamType::kList ||
           type == ParamType::kColor;
}

double Parameter::constrain(double v) const
{
    if (std::isnan(v))
        v = minimum;
    if (isWholeNumberType())
        v = std::trunc(v);
    // A range turned upside down (min above max, while it is being replaced) clamps to nothing.
    if (minimum <= maximum)
    {
        if (v < minimum)
            v = minimum;
        if (v > maximum)
            v = maximum;
    }
    return v;
}

bool Parameter::storeValue(double newValue, bool notify)
{
    if (newValue == value)
        return false;
    const double before = value;
    value = newValue;
    SharedPtr<Object> keepAlive(this);
    const bool recorded = notify && countsForUndo() &&
                          recordChange(isWholeNumberType() ? Variant((long long)before) : Variant(before));
    if (notify)
        notifyController();
    notifyViews();
    finishChange(recorded);
    return true;
}

void Parameter::notifyController()
{
    if (IParamObserver* observer = unknownCast<IParamObserver>(controller))
        observer->paramChanged(this);
}

void Parameter::notifyViews()
{
    signal(Message(Messages::kChanged));
}

void Parameter::enable(bool state)
{
    if (enabled == state)
        return;
    enabled = state;
    notifyViews();
}

void Parameter::setFlag(uint32_t mask, bool on)
{
    if (on)
        flags |= mask;
    else
        flags &= ~mask;
}

void Parameter::connect(IUnknown* newController, int32_t newTag)
{
    // A parameter taken from its component while the user holds it ends its gesture for the undo
    // history: nobody will end it any more.
    if (!newController && controller && isFlag(ParamFlags::kEditing) && countsForUndo())
        GetUndoHistory()->paramEditEnded(this);
    controller = newController;
    tag = newTag;
}

void Parameter::setValue(const Variant& v, bool notify)
{
    // Nothing to read from an empty value or an object.
    if (v.isEmpty() || v.isObject())
        return;
    double number;
    if (v.isString())
    {
        if (!scanPlain(v.getText(), number))
            return;
    }
    else
    {
        number = v.isInt() ? double(v.asInt()) : v.asDouble();
    }
    storeValue(constrain(number), notify);
}

void Parameter::setMin(const Variant& v)
{
    setRange(v.asDouble(), maximum);
}

void Parameter::setMax(const Variant& v)
{
    setRange(minimum, v.asDouble());
}

void Parameter::setRange(double newMinimum, double newMaximum)
{
    if (isWholeNumberType())
    {
        newMinimum = std::trunc(newMinimum);
        newMaximum = std::trunc(newMaximum);
    }
    bool changed = newMinimum != minimum || newMaximum != maximum;
    minimum = newMinimum;
    maximum = newMaximum;
    double kept = constrain(value);
    if (kept != value)
        value = kept;
    else if (!changed)
        return;
    notifyViews();
}

void Parameter::setDefaultValue(const Variant& v)
{
    defaultValue = isWholeNumberType() ? std::trunc(v.asDouble()) : v.asDouble();
}

void Parameter::setNormalized(double normalized, bool notify)
{
    if (std::isnan(normalized))
        return;
    if (normalized < 0)
        normalized = 0;
    if (normalized > 1)
        normalized = 1;
    double v = curve ? curve->normalizedToValue(normalized) : minimum + normalized * (maximum - minimum);
    if (isWholeNumberType())
        v = wholeFromNormalized(v);
    storeValue(constrain(v), notify);
}

double Parameter::getValueNormalized(const Variant& v) const
{
    double plain = v.asDouble();
    double n;
    if (curve)
        n = curve->valueToNormalized(plain);
    else if (maximum == minimum)
        n = 0;
    else
        n = (plain - minimum) / (maximum - minimum);
    if (std::isnan(n) || n < 0)
        return 0;
    return n > 1 ? 1 : n;
}

void Parameter::setCurve(IParamCurve* newCurve)
{
    curve = Tessel::retained(newCurve);
}

void Parameter::setFormatter(IParamFormatter* newFormatter)
{
    formatter = Tessel::retained(newFormatter);
}

bool Parameter::fromString(const std::string& text, bool notify)
{
    double number;
    if (formatter)
    {
        std::optional<double> scanned = formatter->scan(text, {minimum, maximum});
        if (!scanned)
            return false;
        number = *scanned;
    }
    else if (!scanPlain(text, number))
    {
        return false;
    }
    storeValue(constrain(number), notify);
    return true;
}

Variant Parameter::getValue() const
{
    if (isWholeNumberType())
        return Variant((long long)value);
    return Variant(value);
}

Variant Parameter::getMin() const
{
    return isWholeNumberType() ? Variant((long long)minimum) : Variant(minimum);
}

Variant Parameter::getMax() const
{
    return isWholeNumberType() ? Variant((long long)maximum) : Variant(maximum);
}

Variant Parameter::getDefaultValue() const
{
    return isWholeNumberType() ? Variant((long long)defaultValue) : Variant(defaultValue);
}

std::string Parameter::valueToString(const Variant& v) const
{
    if (formatter)
        return formatter->print(v.asDouble(), {minimum, maximum});
    return printPlain(v.asDouble());
}

bool Parameter::scanPlain(const std::string& text, double& number) const
{
    if (type == ParamType::kToggle)
    {
        static const char* const on[] = {"on", "On", "ON", "true", "True", "yes"};
        static const char* const off[] = {"off", "Off", "OFF", "false", "False", "no"};
        for (const char* word : on)
        {
            if (text == word)
            {
                number = 1;
                return true;
            }
        }
        for (const char* word : off)
        {
            if (text == word)
            {
                number = 0;
                return true;
            }
        }
    }
    const char* begin = text.c_str();
    char* end = nullptr;
    number = std::strtod(begin, &end);
    if (end == begin)
        return false;
    while (*end == ' ' || *end == '\t')
        ++end;
    return *end == '\0' && !std::isnan(number);
}

std::string Parameter::printPlain(double v) const
{
    char buffer[64];
    switch (type)
    {
    case ParamType::kToggle:
        return v != 0 ? "On" : "Off";
    case ParamType::kFloat:
        std::snprintf(buffer, sizeof buffer, "%.2f", v);
        return buffer;
    default:
        std::snprintf(buffer, sizeof buffer, "%lld", (long long)v);
        return buffer;
    }
}

void Parameter::beginEdit()
{
    if (isFlag(ParamFlags::kEditing))
        return;
    setFlag(ParamFlags::kEditing, true);
    SharedPtr<Object> keepAlive(this);
    if (countsForUndo())
        GetUndoHistory()->paramEditBegan(this);
    if (IParamObserver* observer = unknownCast<IParamObserver>(controller))
        observer->paramEdit(this, true);
    signal(Message(Messages::kBeginEdit));
}

void Parameter::endEdit()
{
    if (!isFlag(ParamFlags::kEditing))
        return;
    setFlag(ParamFlags::kEditing, false);
    SharedPtr<Object> keepAlive(this);
    if (IParamObserver* observer = unknownCast<IParamObserver>(controller))
        observer->paramEdit(this, false);
    signal(Message(Messages::kEndEdit));
    // The step closes after the controller and the views have seen the end of the gesture.
    if (countsForUndo())
        GetUndoHistory()->paramEditEnded(this);
}

void Parameter::preview(const ParamPreviewEvent& event)
{
    if (IParamPreviewHandler* handler = unknownCast<IParamPreviewHandler>(controller))
        handler->paramPreview(this, event);
}

bool Parameter::getProperty(const std::string& property, Variant& result) const
{
    if (property == "name")
        result = Variant(name.str());
    else if (property == "value")
        result = getValue();
    else if (property == "text")
        result = Variant(toString());
    else if (property == "normalized")
        result = Variant(getNormalized());
    else if (property == "enabled")
        result = Variant(isEnabled());
    else if (property == "min")
        result = getMin();
    else if (property == "max")
        result = getMax();
    else if (property == "default")
        result = getDefaultValue();
    else if (property == "type")
        result = Variant(getType());
    else if (property == "tag")
        result = Variant(int(tag));
    else
        return Object::getProperty(property, result);
    return true;
}

} // namespace Tessel
