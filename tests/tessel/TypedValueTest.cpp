// A value typed into a numeric field: read through the parameter's formatter, refused with a reason
// when it does not read or lies outside the range, and set as one edit gesture (one undo step).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "tessel/Component.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/IParamFormatter.h"
#include "tessel/Parameter.h"
#include "tessel/TypedValue.h"
#include "tessel/UndoHistory.h"
#include "tessel/Unknown.h"

using namespace Tessel;

namespace
{
// Decibels: "-6.00 dB"; a typed text must be a number with "dB" or nothing after it; steps of 0.5.
class Decibels : public Unknown, public IParamFormatter
{
public:
    void* queryInterface(const UID& iid) override
    {
        TESSEL_QUERY_INTERFACE(IParamFormatter)
        return Unknown::queryInterface(iid);
    }
    int retain() override { return Unknown::retain(); }
    int release() override { return Unknown::release(); }
    std::string print(double value, const ParamValueRange&) const override
    {
        char text[32];
        std::snprintf(text, sizeof text, "%.2f dB", value);
        return text;
    }
    std::optional<double> scan(const std::string& text, const ParamValueRange&) const override
    {
        return std::strtod(text.c_str(), nullptr);
    }
    std::optional<double> scanTyped(const std::string& text, const ParamValueRange&) const override
    {
        char* end = nullptr;
        const double value = std::strtod(text.c_str(), &end);
        const std::string rest(end);
        if (end == text.c_str() || (rest != "" && rest != " dB"))
            return std::nullopt;
        return value;
    }
    std::optional<double> stepOnGrid(double value, int steps, StepSize, const ParamValueRange&) const override
    {
        return value + 0.5 * steps;
    }
};

struct Fixture
{
    HeadlessPlatform platform;
    UndoHistory history;
    AutoPtr<Component> desk = new Component("Desk", "Main Hall");
    Parameter* gain = desk->getParams().addFloat(-15, 15, "gain");
    AutoPtr<Decibels> decibels = new Decibels;

    Fixture()
    {
        setUndoHistory(&history);
        gain->setFlag(ParamFlags::kUndoable, true);
        gain->setFormatter(decibels);
    }
    ~Fixture() { setUndoHistory(nullptr); }
};
} // namespace

TEST(TypedValue, AReadableValueInRangeIsOneEditGestureAndOneUndoStep)
{
    Fixture f;
    f.gain->setValue(Variant(-3.0), false);
    const TypedValue typed = enterTypedValue(*f.gain, " 4.5 dB ");
    EXPECT_TRUE(typed.accepted) << typed.message;
    EXPECT_DOUBLE_EQ(f.gain->getValue().asDouble(), 4.5);
    EXPECT_FALSE(f.gain->isFlag(ParamFlags::kEditing)) << "the gesture ended";
    EXPECT_EQ(f.history.countUndoSteps(), 1u);
    ASSERT_TRUE(f.history.undo());
    EXPECT_DOUBLE_EQ(f.gain->getValue().asDouble(), -3.0);

    // A hair beyond an end (single precision on the way) is that end.
    EXPECT_TRUE(enterTypedValue(*f.gain, "15.0000001").accepted);
    EXPECT_DOUBLE_EQ(f.gain->getValue().asDouble(), 15.0);

    EXPECT_TRUE(stepParamOnGrid(*f.gain, -2, StepSize::kNormal));
    EXPECT_DOUBLE_EQ(f.gain->getValue().asDouble(), 14.0);
    f.gain->setFormatter(nullptr);
    EXPECT_FALSE(stepParamOnGrid(*f.gain, 1, StepSize::kNormal)) << "no unit, no grid";
    EXPECT_TRUE(enterTypedValue(*f.gain, "-2.5").accepted) << "a bare number without a formatter";
    EXPECT_FALSE(enterTypedValue(*f.gain, "-2.5 dB").accepted);
}

TEST(TypedValue, TextsThatDoNotReadAndValuesOutOfRangeAreRefusedWithTheirReason)
{
    Fixture f;
    f.gain->setValue(Variant(-3.0), false);
    const TypedValue unreadable = enterTypedValue(*f.gain, "loud");
    EXPECT_FALSE(unreadable.accepted);
    EXPECT_EQ(unreadable.message, "Cannot read \"loud\": type a number, such as -3.00 dB");
    // Never clamped: "60" typed for "6.0" must not become the loudest setting.
    const TypedValue outOfRange = enterTypedValue(*f.gain, "60");
    EXPECT_FALSE(outOfRange.accepted);
    EXPECT_EQ(outOfRange.message, "\"60\" is out of range: -15.00 dB to 15.00 dB");
    EXPECT_FALSE(enterTypedValue(*f.gain, "   ").accepted);
    EXPECT_DOUBLE_EQ(f.gain->getValue().asDouble(), -3.0);
    EXPECT_EQ(f.history.countUndoSteps(), 0u) << "a refused text is no step";

    f.gain->setFlag(ParamFlags::kReadOnly, true);
    EXPECT_FALSE(enterTypedValue(*f.gain, "2").accepted);
    Parameter* toggle = f.desk->getParams().addParam("on");
    EXPECT_FALSE(readTypedValue(*toggle, "1").accepted) << "not a number field";
}
