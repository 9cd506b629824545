#include <gtest/gtest.h>

#include "speaker/meter/LevelMeter.h"
#include "speaker/meter/MeterIdleBallistics.h"
#include "tessel/Parameter.h"

using Filtra::MeterIdleBallistics;

namespace
{

struct Meter
{
    Meter(bool withPeak = true) { ballistics.bind(display, withPeak ? peak.get() : nullptr); }
    Tessel::AutoPtr<Tessel::Parameter> display = Tessel::Parameter::createFloat(0, 1);
    Tessel::AutoPtr<Tessel::Parameter> peak = Tessel::Parameter::createFloat(0, 1);
    MeterIdleBallistics ballistics;
};

} // namespace

TEST(MeterBallistics, DecaysLinearlyInTimeFromTheLastDecay)
{
    Meter meter;
    meter.ballistics.setDecayTime(0.3); // 1/300 per ms
    meter.ballistics.push(1.0f, 1000);
    meter.ballistics.idle(1150);
    EXPECT_FLOAT_EQ(meter.ballistics.getDisplayed(), 0.5f);
    meter.ballistics.idle(1150);
    EXPECT_FLOAT_EQ(meter.ballistics.getDisplayed(), 0.5f) << "no time passed";
    meter.ballistics.idle(5000);
    EXPECT_FLOAT_EQ(meter.ballistics.getDisplayed(), 0.0f);
}

TEST(MeterBallistics, ShowsOnlyLevelsAboveTheDisplayOnceStarted)
{
    Meter meter;
    meter.ballistics.push(0.2f, 1000); // the first push always shows
    meter.ballistics.push(0.1f, 1010);
    EXPECT_FLOAT_EQ(meter.ballistics.getDisplayed(), 0.2f);
    meter.ballistics.push(0.6f, 1020);
    EXPECT_FLOAT_EQ(meter.ballistics.getDisplayed(), 0.6f);
}

TEST(MeterBallistics, InvertedMetersRiseBackToTheTop)
{
    Meter meter(false);
    meter.ballistics.setInverted(true);
    meter.ballistics.setDecayTime(0.3);
    meter.ballistics.push(1.0f, 1000);
    meter.ballistics.push(0.2f, 1000);
    meter.ballistics.push(0.5f, 1001); // less reduction than shown: ignored
    EXPECT_FLOAT_EQ(meter.ballistics.getDisplayed(), 0.2f);
    meter.ballistics.idle(1150);
    EXPECT_NEAR(meter.ballistics.getDisplayed(), 0.6f, 1e-6);
}

TEST(MeterBallistics, HoldsThePeakForTheHoldTime)
{
    Meter meter;
    meter.ballistics.push(0.8f, 1000);
    meter.ballistics.idle(1500);
    meter.ballistics.push(0.3f, 1500);
    EXPECT_FLOAT_EQ(meter.ballistics.getHeld(), 0.8f);
    meter.ballistics.idle(4000);
    EXPECT_FLOAT_EQ(meter.ballistics.getHeld(), 0.8f) << "exactly the hold time: still held";
    const float shown = meter.ballistics.getDisplayed();
    meter.ballistics.idle(4001);
    EXPECT_FLOAT_EQ(meter.ballistics.getHeld(), shown);
}

TEST(MeterBallistics, UnboundBallisticsDoNothing)
{
    MeterIdleBallistics ballistics;
    ballistics.push(1.0f, 10);
    ballistics.idle(20);
    EXPECT_FALSE(ballistics.isBound());
    EXPECT_FLOAT_EQ(ballistics.getDisplayed(), 0.0f);
}

TEST(LevelMeterScale, MapsDecibelsThroughTheFivePointCurve)
{
    Tessel::AutoPtr<Filtra::LevelMeter> meter = new Filtra::LevelMeter;
    EXPECT_FLOAT_EQ(meter->toPosition(-72), 0.0f);
    EXPECT_FLOAT_EQ(meter->toPosition(-100), 0.0f);
    EXPECT_FLOAT_EQ(meter->toPosition(-32), 0.25f);
    EXPECT_FLOAT_EQ(meter->toPosition(-12), 0.5f);
    EXPECT_FLOAT_EQ(meter->toPosition(-9), 0.625f);
    EXPECT_FLOAT_EQ(meter->toPosition(-6), 0.75f);
    EXPECT_FLOAT_EQ(meter->toPosition(3), 1.0f);
    EXPECT_FLOAT_EQ(meter->toDecibels(0.5f), -12.0f);
}
