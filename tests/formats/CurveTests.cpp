#include "formats/BilinearInterpolator.h"
#include "formats/ExpInterpolator.h"
#include "formats/FaderCurve.h"
#include "formats/FaderInterpolator.h"
#include "formats/LinearInterpolator.h"
#include "formats/LogInterpolator.h"
#include "formats/RatioInterpolator.h"
#include "formats/SkewInterpolator.h"
#include "formats/ZoomInterpolator.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Vellaris;

namespace
{

// Walks the positions 0, 0.05, ... 1 through the curve and back.
void expectRoundTrip(const Core::Interpolator& curve, float tolerance)
{
    for (int i = 0; i <= 20; ++i)
    {
        float x = i / 20.0f;
        float value = curve.normalizedToValue(x);
        EXPECT_NEAR(curve.valueToNormalized(value), x, tolerance) << "position " << x << " value " << value;
    }
}

} // namespace

TEST(LinearInterpolator, MapsEvenlyAndClampsBothWays)
{
    Core::LinearInterpolator curve;
    curve.setRange(-12.0f, 0.0f, 1.0f);
    EXPECT_FLOAT_EQ(curve.normalizedToValue(0.0f), -12.0f);
    EXPECT_FLOAT_EQ(curve.normalizedToValue(1.0f), 0.0f);
    EXPECT_FLOAT_EQ(curve.normalizedToValue(0.5f), -6.0f);
    EXPECT_FLOAT_EQ(curve.valueToNormalized(-3.0f), 0.75f);
    EXPECT_FLOAT_EQ(curve.normalizedToValue(1.5f), 0.0f);
    EXPECT_FLOAT_EQ(curve.normalizedToValue(-1.0f), -12.0f);
    EXPECT_FLOAT_EQ(curve.valueToNormalized(-20.0f), 0.0f);
    EXPECT_FLOAT_EQ(curve.valueToNormalized(5.0f), 1.0f);
    EXPECT_FLOAT_EQ(curve.normalizedToValue(NAN), -12.0f);
    expectRoundTrip(curve, 1e-6f);
}

TEST(LinearInterpolator, EmptyOrInvertedRangeGivesZero)
{
    Core::LinearInterpolator curve;
    curve.setRange(5.0f, 5.0f, 1.0f);
    EXPECT_EQ(curve.normalizedToValue(0.5f), 0.0f);
    EXPECT_EQ(curve.valueToNormalized(5.0f), 0.0f);
    curve.setRange(10.0f, 0.0f, 1.0f);
    EXPECT_EQ(curve.normalizedToValue(0.5f), 0.0f);
    EXPECT_EQ(curve.valueToNormalized(5.0f), 0.0f);
}

TEST(LogInterpolator, GeometricMeanSitsInTheMiddle)
{
    Core::LogInterpolator curve;
    curve.setRange(20.0f, 20000.0f, 1.0f);
    EXPECT_NEAR(curve.valueToNormalized(632.46f), 0.5f, 1e-5f);
    EXPECT_NEAR(curve.normalizedToValue(0.5f), 632.456f, 0.01f);
    // Each decade takes a third of the travel.
    EXPECT_NEAR(curve.valueToNormalized(200.0f), 1.0f / 3.0f, 1e-5f);
    EXPECT_NEAR(curve.valueToNormalized(2000.0f), 2.0f / 3.0f, 1e-5f);
    EXPECT_NEAR(curve.normalizedToValue(0.0f), 20.0f, 1e-3f);
    EXPECT_NEAR(curve.normalizedToValue(1.0f), 20000.0f, 0.5f);
    EXPECT_FLOAT_EQ(curve.valueToNormalized(1.0f), 0.0f);
    expectRoundTrip(curve, 1e-5f);
}

TEST(LogInterpolator, RangeNotAboveZeroGivesZero)
{
    Core::LogInterpolator curve;
    EXPECT_EQ(curve.normalizedToValue(0.7f), 0.0f); // starts as 0..1
    curve.setRange(-10.0f, 10.0f, 1.0f);
    EXPECT_EQ(curve.normalizedToValue(0.7f), 0.0f);
    EXPECT_EQ(curve.valueToNormalized(5.0f), 0.0f);
}

TEST(ZoomInterpolator, ExponentSpreadsTheTopOfTheRange)
{
    Core::ZoomInterpolator curve;
    EXPECT_FLOAT_EQ(curve.normalizedToValue(0.3f), 0.3f); // exponent 1 at first
    curve.setRange(0.0f, 100.0f, 2.0f);
    EXPECT_FLOAT_EQ(curve.getCurveParam(), 2.0f);
    EXPECT_FLOAT_EQ(curve.normalizedToValue(0.25f), 50.0f);
    EXPECT_FLOAT_EQ(curve.valueToNormalized(50.0f), 0.25f);
    EXPECT_FLOAT_EQ(curve.normalizedToValue(1.0f), 100.0f);
    EXPECT_FLOAT_EQ(curve.normalizedToValue(0.0f), 0.0f);
    expectRoundTrip(curve, 1e-5f);

    curve.setCurveParam(0.5f);
    EXPECT_FLOAT_EQ(curve.normalizedToValue(0.5f), 25.0f);
    EXPECT_FLOAT_EQ(curve.getMax(), 100.0f);
}

TEST(ZoomInterpolator, UnusableExponentBehavesAsStraightLine)
{
    Core::ZoomInterpolator curve;
    for (float exponent : {0.0f, -2.0f, NAN, INFINITY})
    {
        curve.setRange(0.0f, 10.0f, exponent);
        EXPECT_FLOAT_EQ(curve.normalizedToValue(0.3f), 3.0f) << exponent;
        EXPECT_FLOAT_EQ(curve.valueToNormalized(3.0f), 0.3f) << exponent;
    }
}

TEST(SkewInterpolator, PutsTheMidValueAtTheCentre)
{
    Dsp::SkewInterpolator curve;
    EXPECT_NEAR(curve.valueToNormalized(1.0f), 0.5f, 1e-5f); // starts as 0.1..10, mid 1
    curve.setRange(-84.0f, 10.0f, -9.0f);
    EXPECT_NEAR(curve.valueToNormalized(-9.0f), 0.5f, 1e-5f);
    EXPECT_NEAR(curve.normalizedToValue(0.5f), -9.0f, 1e-3f);
    EXPECT_FLOAT_EQ(curve.getCurveParam(), -9.0f);
    EXPECT_FLOAT_EQ(curve.normalizedToValue(0.0f), -84.0f);
    EXPECT_FLOAT_EQ(curve.normalizedToValue(1.0f), 10.0f);
    expectRoundTrip(curve, 1e-5f);

    curve.setCurveParam(-37.0f); // the arithmetic centre: a straight line
    EXPECT_NEAR(curve.normalizedToValue(0.25f), -60.5f, 1e-3f);
}

TEST(SkewInterpolator, MidValueOutsideTheRangeGivesAStraightLine)
{
    Dsp::SkewInterpolator curve;
    curve.setRange(0.0f, 10.0f, 20.0f);
    EXPECT_FLOAT_EQ(curve.normalizedToValue(0.5f), 5.0f);
    curve.setRange(0.0f, 10.0f, 0.0f);
    EXPECT_FLOAT_EQ(curve.valueToNormalized(5.0f), 0.5f);
}

TEST(ExpInterpolator, PassesThroughMinMidAndMax)
{
    Dsp::ExpInterpolator curve; // 0..1, mid 0.1
    EXPECT_NEAR(curve.normalizedToValue(0.0f), 0.0f, 1e-6f);
    EXPECT_NEAR(curve.normalizedToValue(0.5f), 0.1f, 1e-6f);
    EXPECT_NEAR(curve.normalizedToValue(1.0f), 1.0f, 1e-5f);
    EXPECT_NEAR(curve.valueToNormalized(0.1f), 0.5f, 1e-5f);
    expectRoundTrip(curve, 1e-4f);

    curve.setRange(0.0f, 10.0f, 7.0f); // mid above the centre bends the other way
    EXPECT_NEAR(curve.normalizedToValue(0.5f), 7.0f, 1e-4f);
    EXPECT_NEAR(curve.normalizedToValue(1.0f), 10.0f, 1e-4f);
    EXPECT_NEAR(curve.valueToNormalized(7.0f), 0.5f, 1e-5f);
    expectRoundTrip(curve, 1e-4f);
}

TEST(ExpInterpolator, WithoutAUsableMidKeepsItsCoefficients)
{
    Dsp::ExpInterpolator curve;
    curve.setRange(0.0f, 1.0f, 0.0f); // a meter without a mid value
    EXPECT_NEAR(curve.normalizedToValue(0.5f), 0.1f, 1e-6f);
    EXPECT_FLOAT_EQ(curve.getCurveParam(), 0.0f);

    curve.setRange(0.0f, 10.0f, 2.0f);
    curve.setRange(0.0f, 10.0f, 5.0f); // the centre cannot be bent towards
    EXPECT_NEAR(curve.normalizedToValue(0.5f), 2.0f, 1e-4f);
}

TEST(ExpInterpolator, ValuesTheCoefficientsCannotReachGiveZero)
{
    Dsp::ExpInterpolator curve;
    curve.setRange(-5.0f, 0.0f, 0.0f); // mid at max: coefficients of 0..1 stay
    float position = curve.valueToNormalized(-5.0f);
    EXPECT_EQ(position, 0.0f);
}

TEST(RatioInterpolator, LowRatiosGetMostOfTheTravel)
{
    Dsp::RatioInterpolator curve; // 1:1 to 20:1
    EXPECT_FLOAT_EQ(curve.getCurveParam(), -1.0f);
    EXPECT_FLOAT_EQ(curve.normalizedToValue(0.0f), 1.0f);
    EXPECT_NEAR(curve.normalizedToValue(1.0f), 20.0f, 1e-4f);
    EXPECT_NEAR(curve.normalizedToValue(0.5f), 1.0f / 0.525f, 1e-4f);
    EXPECT_NEAR(curve.valueToNormalized(2.0f), 0.5f / 0.95f, 1e-5f);
    EXPECT_FLOAT_EQ(curve.valueToNormalized(0.5f), 0.0f);
    expectRoundTrip(curve, 1e-4f);

    curve.setRange(2.0f, 10.0f, 7.0f);
    EXPECT_FLOAT_EQ(curve.getCurveParam(), -1.0f);
    EXPECT_NEAR(curve.normalizedToValue(0.5f), 1.0f / 0.3f, 1e-4f);
    EXPECT_FLOAT_EQ(curve.valueToNormalized(2.0f), 0.0f);
    EXPECT_NEAR(curve.valueToNormalized(10.0f), 1.0f, 1e-5f);
}

TEST(RatioInterpolator, RangeWithoutPositiveRatiosGivesZero)
{
    Dsp::RatioInterpolator curve;
    curve.setRange(0.0f, 20.0f, 0.0f);
    EXPECT_EQ(curve.normalizedToValue(0.5f), 0.0f);
    EXPECT_EQ(curve.valueToNormalized(4.0f), 0.0f);
    curve.setRange(4.0f, 4.0f, 0.0f);
    EXPECT_FLOAT_EQ(curve.normalizedToValue(0.5f), 4.0f);
    EXPECT_EQ(curve.valueToNormalized(4.0f), 0.0f);
}

TEST(BilinearInterpolator, TwoLinesMeetAtTheMidPoint)
{
    Dsp::BilinearInterpolator curve;
    EXPECT_FLOAT_EQ(curve.normalizedToValue(0.3f), 0.3f); // 0..1 with mid 0.5 at first
    curve.setRange(0.0f, 100.0f, 10.0f);
    EXPECT_FLOAT_EQ(curve.normalizedToValue(0.25f), 5.0f);
    EXPECT_FLOAT_EQ(curve.normalizedToValue(0.5f), 10.0f);
    EXPECT_FLOAT_EQ(curve.normalizedToValue(0.75f), 55.0f);
    EXPECT_FLOAT_EQ(curve.valueToNormalized(55.0f), 0.75f);
    expectRoundTrip(curve, 1e-6f);

    curve.setMidPosition(0.2f);
    EXPECT_FLOAT_EQ(curve.normalizedToValue(0.2f), 10.0f);
    EXPECT_FLOAT_EQ(curve.normalizedToValue(0.6f), 55.0f);
    curve.setMidPosition(3.0f);
    EXPECT_FLOAT_EQ(curve.midPosition(), 1.0f);
}

TEST(BilinearInterpolator, MidValueIsClampedIntoTheRange)
{
    Dsp::BilinearInterpolator curve;
    curve.setRange(0.0f, 1.0f, 5.0f);
    EXPECT_FLOAT_EQ(curve.getCurveParam(), 1.0f);
    EXPECT_FLOAT_EQ(curve.normalizedToValue(0.25f), 0.5f);
    EXPECT_FLOAT_EQ(curve.normalizedToValue(0.9f), 1.0f);
    // The top half is flat; its value maps to where the flat part starts.
    EXPECT_FLOAT_EQ(curve.valueToNormalized(1.0f), 0.5f);
}

TEST(FaderInterpolator, FollowsTheTableAndItsInverse)
{
    Dsp::FaderInterpolator curve;
    EXPECT_FLOAT_EQ(curve.getMin(), -84.0f);
    EXPECT_FLOAT_EQ(curve.getMax(), 10.0f);
    EXPECT_FLOAT_EQ(curve.normalizedToValue(0.0f), -84.0f);
    EXPECT_FLOAT_EQ(curve.normalizedToValue(0.004f), -60.0f);
    EXPECT_FLOAT_EQ(curve.normalizedToValue(0.47f), -10.0f);
    EXPECT_FLOAT_EQ(curve.normalizedToValue(1.0f), 10.0f);
    EXPECT_NEAR(curve.normalizedToValue(0.5f), -10.0f + 20.0f * 0.03f / 0.53f, 1e-4f);
    EXPECT_NEAR(curve.valueToNormalized(0.0f), 0.735f, 1e-6f);
    EXPECT_NEAR(curve.valueToNormalized(-40.0f), 0.09f, 1e-6f);
    EXPECT_FLOAT_EQ(curve.valueToNormalized(-100.0f), 0.0f);
    EXPECT_FLOAT_EQ(curve.valueToNormalized(20.0f), 1.0f);
    expectRoundTrip(curve, 1e-5f);
}

TEST(FaderCurve, LawBreakpoints)
{
    using Dsp::FaderCurve;
    EXPECT_DOUBLE_EQ(FaderCurve::positionToDb(1.0, false), 10.0);
    EXPECT_NEAR(FaderCurve::positionToDb(0.52, false), -10.0, 1e-9);
    EXPECT_NEAR(FaderCurve::positionToDb(0.16, false), -40.0, 1e-9);
    EXPECT_NEAR(FaderCurve::positionToDb(0.04, false), -60.0, 1e-9);
    EXPECT_NEAR(FaderCurve::positionToDb(0.016, false), -144.0, 1e-9);
    EXPECT_DOUBLE_EQ(FaderCurve::positionToDb(0.0, false), -144.0);
    EXPECT_NEAR(FaderCurve::positionToDb(0.02, true), -60.0 - 2.0 * 21.53846153846154, 1e-9);
    EXPECT_DOUBLE_EQ(FaderCurve::positionToDb(0.0005, true), -144.0);

    EXPECT_NEAR(FaderCurve::dbToPosition(0.0, false), 0.76, 1e-12);
    EXPECT_NEAR(FaderCurve::dbToPosition(-10.0, false), 0.52, 1e-12);
    EXPECT_NEAR(FaderCurve::dbToPosition(-40.0, false), 0.16, 1e-12);
    EXPECT_NEAR(FaderCurve::dbToPosition(-60.0, false), 0.04, 1e-12);
    EXPECT_NEAR(FaderCurve::dbToPosition(-143.999999, true), 0.001, 1e-9);
    EXPECT_DOUBLE_EQ(FaderCurve::dbToPosition(-200.0, true), 0.0);
    EXPECT_DOUBLE_EQ(FaderCurve::dbToPosition(12.0, false), 1.0);
}

TEST(FaderCurve, LawAndInverseAgreeOverTheTravel)
{
    using Dsp::FaderCurve;
    for (bool extended : {false, true})
    {
        double last = extended ? 0.998 : 0.983;
        for (double position = 0.99 * last; position <= 1.0; position += 0.01)
        {
            double db = FaderCurve::positionToDb(position, extended);
            EXPECT_NEAR(FaderCurve::dbToPosition(db, extended), position, 1e-9) << position;
        }
    }
}

TEST(FaderCurve, ConvertsLinearGainWithUnityAtTheTop)
{
    Dsp::FaderCurve curve;
    EXPECT_NEAR(curve.valueToNormalized(1.0f), 1.0f, 1e-5f);
    EXPECT_FLOAT_EQ(curve.valueToNormalized(0.0f), 0.0f);
    EXPECT_FLOAT_EQ(curve.valueToNormalized(-1.0f), 0.0f);
    // 1/3.1622 is 0 dB on the law; a tenth of it is -20 dB.
    EXPECT_NEAR(Dsp::FaderCurve::gainToPosition(1.0 / 3.1622), 0.76, 1e-9);
    EXPECT_NEAR(Dsp::FaderCurve::gainToPosition(0.1 / 3.1622), 0.40, 1e-9);
    EXPECT_NEAR(curve.normalizedToValue(0.76f), 1.0f / 3.1622f, 1e-5f);
    for (double gain : {0.5, 0.1, 0.01, 1e-4})
        EXPECT_NEAR(Dsp::FaderCurve::positionToGain(Dsp::FaderCurve::gainToPosition(gain)), gain,
                    gain * 1e-7);
    EXPECT_LT(curve.normalizedToValue(0.0f), 1e-7f);
}
