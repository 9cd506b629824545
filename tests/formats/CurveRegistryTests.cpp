#include "formats/CurveRegistry.h"
#include "formats/LinearInterpolator.h"
#include "formats/LogInterpolator.h"
#include "formats/ZoomInterpolator.h"

#include <gtest/gtest.h>

namespace
{

// A curve that is recognisable by its fixed output.
class ConstantCurve final : public Core::Interpolator
{
public:
    explicit ConstantCurve(float value) : value_(value) {}
    float normalizedToValue(float) const override { return value_; }

private:
    float value_;
};

} // namespace

TEST(CurveRegistry, HoldsTheBuiltInCurvesFromTheStart)
{
    Core::CurveRegistry registry;
    EXPECT_EQ(registry.count(), 3u);
    EXPECT_NE(dynamic_cast<Core::LinearInterpolator*>(registry.createCurve("linear").get()), nullptr);
    EXPECT_NE(dynamic_cast<Core::LogInterpolator*>(registry.createCurve("log").get()), nullptr);
    EXPECT_NE(dynamic_cast<Core::ZoomInterpolator*>(registry.createCurve("zoom").get()), nullptr);
}

TEST(CurveRegistry, UnknownEmptyOrDifferentlyCasedNamesGiveNothing)
{
    Core::CurveRegistry registry;
    EXPECT_EQ(registry.createCurve(""), nullptr);
    EXPECT_EQ(registry.createCurve(nullptr), nullptr);
    EXPECT_EQ(registry.createCurve("Linear"), nullptr);
    EXPECT_EQ(registry.createCurve("lin"), nullptr);
    EXPECT_EQ(registry.createCurve("skew"), nullptr);
}

TEST(CurveRegistry, FirstRegistrationOfANameWins)
{
    Core::CurveRegistry registry;
    registry.registerCurve("const",
                           [] { return std::unique_ptr<Core::Interpolator>(new ConstantCurve(1.0f)); });
    registry.registerCurve("const",
                           [] { return std::unique_ptr<Core::Interpolator>(new ConstantCurve(2.0f)); });
    registry.registerCurve("", [] { return std::unique_ptr<Core::Interpolator>(new ConstantCurve(3.0f)); });
    EXPECT_EQ(registry.count(), 5u);
    EXPECT_EQ(registry.createCurve("const")->normalizedToValue(0.5f), 1.0f);
}

TEST(CurveRegistry, EveryCallMakesAnIndependentInstance)
{
    Core::CurveRegistry registry;
    auto first = registry.createCurve("linear");
    auto second = registry.createCurve("linear");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first.get(), second.get());
    first->setRange(0.0f, 100.0f, 1.0f);
    EXPECT_FLOAT_EQ(first->normalizedToValue(0.5f), 50.0f);
    EXPECT_FLOAT_EQ(second->normalizedToValue(0.5f), 0.5f);
}
