// The filter designs, their responses on the display grid and the display axes, without
// components.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "speaker/eq/BandResponse.h"
#include "speaker/eq/CurveAxes.h"
#include "speaker/eq/FilterDesign.h"

using namespace Filtra;

namespace
{
float at(int32_t kind, float freq, float gain, float q, float probe)
{
    return magnitudeDb(designBiquad(kind, freq, gain, q), probe);
}
} // namespace

TEST(FilterDesign, KindNamesIgnoreCaseAndUnknownNamesAreLowShelves)
{
    EXPECT_EQ(filterKindFromName("Peaking"), FilterKind::kPeaking);
    EXPECT_EQ(filterKindFromName("peaking"), FilterKind::kPeaking);
    EXPECT_EQ(filterKindFromName("LOWCUT"), FilterKind::kLowCut);
    EXPECT_EQ(filterKindFromName("highShelf"), FilterKind::kHighShelf);
    EXPECT_EQ(filterKindFromName("LowShelf"), FilterKind::kLowShelf);
    EXPECT_EQ(filterKindFromName("Notch"), FilterKind::kLowShelf);
    EXPECT_EQ(filterKindFromName(""), FilterKind::kLowShelf);
}

TEST(FilterResponse, PeakingBandWithoutGainIsFlat)
{
    ResponseGrid grid;
    grid.prepare(20, 20000, 256);
    std::vector<float> curve(256, 99.0f);
    evaluateResponse(designBiquad(FilterKind::kPeaking, 1000, 0, 2), 1, grid, curve.data());
    for (float db : curve)
        EXPECT_NEAR(db, 0.0f, 1e-3f);
}

TEST(FilterResponse, PeakingBandReachesItsGainAtItsFrequencyAndNotFarAway)
{
    EXPECT_NEAR(at(FilterKind::kPeaking, 1000, 6, 1.4f, 1000), 6.0f, 0.01f);
    EXPECT_NEAR(at(FilterKind::kPeaking, 1000, -12, 1.4f, 1000), -12.0f, 0.01f);
    EXPECT_NEAR(at(FilterKind::kPeaking, 1000, 6, 1.4f, 20), 0.0f, 0.05f);
    EXPECT_NEAR(at(FilterKind::kPeaking, 240, 6, 0.71f, 240), 6.0f, 0.01f) << "low band in single precision";
}

TEST(FilterResponse, NarrowLowNotchesKeepTheirDepthAndAFlatOneStaysFlat)
{
    // A notch band (Q 24) where the three terms of its magnitude nearly cancel: at 60 Hz a flat
    // one once read as the floor, a −20 dB one as −144 dB over a third of a semitone.
    ResponseGrid grid;
    grid.prepare(20, 20000, 2048);
    std::vector<float> curve(2048);
    for (float freq : {30.0f, 60.0f, 120.0f, 1000.0f, 12000.0f})
    {
        evaluateResponse(designBiquad(FilterKind::kPeaking, freq, 0, 24), 1, grid, curve.data());
        for (int i = 0; i < grid.getCount(); ++i)
            ASSERT_NEAR(curve[size_t(i)], 0.0f, 0.01f) << freq << " Hz band at " << grid.getFrequency(i);
        evaluateResponse(designBiquad(FilterKind::kPeaking, freq, -20, 24), 1, grid, curve.data());
        const float deepest = *std::min_element(curve.begin(), curve.end());
        EXPECT_NEAR(deepest, -20.0f, 0.5f) << freq << " Hz";
        // Below 60 Hz (the lowest notch default) single-precision coefficients move the centre of
        // so narrow a band by a fraction of a hertz; the depth stays.
        if (freq >= 60.0f)
            EXPECT_NEAR(at(FilterKind::kPeaking, freq, -20, 24, freq), -20.0f, 0.1f) << freq << " Hz";
    }
}

TEST(FilterResponse, LowCutIsThreeDecibelsDownAtItsFrequencyAndFallsTwelvePerOctave)
{
    EXPECT_NEAR(at(FilterKind::kLowCut, 60, 0, 0.71f, 60), -3.0f, 0.1f);
    EXPECT_NEAR(at(FilterKind::kLowCut, 60, 0, 0.71f, 15000), 0.0f, 0.05f);
    const float octaveDown =
        at(FilterKind::kLowCut, 60, 0, 0.71f, 20) - at(FilterKind::kLowCut, 60, 0, 0.71f, 10);
    EXPECT_NEAR(octaveDown, 12.0f, 0.3f);
    EXPECT_LT(at(FilterKind::kLowCut, 60, 0, 0.71f, 30), -10.0f);
    EXPECT_EQ(at(FilterKind::kLowCut, 60, 0, 0.71f, 60), at(FilterKind::kLowCut, 60, 12, 0.71f, 60))
        << "a high-pass ignores the gain";
}

TEST(FilterResponse, ShelvesLiftTheirSideOnly)
{
    EXPECT_NEAR(at(FilterKind::kLowShelf, 200, 6, 0.71f, 20), 6.0f, 0.2f);
    EXPECT_NEAR(at(FilterKind::kLowShelf, 200, 6, 0.71f, 10000), 0.0f, 0.1f);
    EXPECT_NEAR(at(FilterKind::kLowShelf, 200, 6, 0.71f, 200), 3.0f, 0.2f);
    EXPECT_NEAR(at(FilterKind::kHighShelf, 4000, -9, 0.71f, 20000), -9.0f, 0.4f);
    EXPECT_NEAR(at(FilterKind::kHighShelf, 4000, -9, 0.71f, 50), 0.0f, 0.1f);
}

TEST(FilterResponse, UnknownKindsPassAndBrokenInputsStayFinite)
{
    EXPECT_NEAR(at(30, 1000, 6, 1, 1000), 0.0f, 1e-6f);
    for (float freq : {0.0f, -5.0f, 1e9f, NAN})
        for (float q : {0.0f, -1.0f, NAN})
        {
            const float db = at(FilterKind::kPeaking, freq, 6, q, 1000);
            EXPECT_TRUE(std::isfinite(db)) << freq << " " << q;
        }
}

TEST(FilterResponse, ResponsesBelowTheSmallestRatioReadAsTheFloor)
{
    // A deep high-pass far below its frequency, cascaded like a multi-section kind.
    ResponseGrid grid;
    grid.prepare(1, 2, 4);
    std::vector<float> curve(4);
    evaluateResponse(designBiquad(FilterKind::kLowCut, 20000, 0, 0.71f), 1, grid, curve.data());
    for (float db : curve)
        EXPECT_EQ(db, kFloorDb);
    evaluateResponse(designBiquad(FilterKind::kLowCut, 20000, 0, 0.71f), 2, grid, curve.data());
    EXPECT_EQ(curve[0], 2 * kFloorDb) << "the floor counts per section";
}

TEST(ResponseGrid, PointsAreLogSpacedAndStopOneStepShortOfTheTop)
{
    ResponseGrid grid;
    grid.prepare(20, 20000, 10);
    ASSERT_EQ(grid.getCount(), 10);
    EXPECT_FLOAT_EQ(grid.getFrequency(0), 20.0f);
    const float r = std::pow(1000.0f, 0.1f);
    EXPECT_NEAR(grid.getFrequency(9), 20000.0f / r, 0.05f);
    EXPECT_NEAR(grid.getFrequency(5), std::sqrt(20.0f * 20000.0f), 0.05f);
    grid.prepare(20, 20000, 0);
    EXPECT_EQ(grid.getCount(), 0);
}

TEST(CurveAxes, MapFrequencyLogarithmicallyAndLevelLinearly)
{
    CurveAxes axes;
    EXPECT_FLOAT_EQ(axes.freqToX(20), 0.0f);
    EXPECT_FLOAT_EQ(axes.freqToX(20000), 1.0f);
    EXPECT_NEAR(axes.freqToX(std::sqrt(20.0f * 20000.0f)), 0.5f, 1e-5f);
    EXPECT_NEAR(axes.xToFreq(axes.freqToX(1234)), 1234.0f, 0.05f);
    EXPECT_FLOAT_EQ(axes.levelToY(-96), 0.0f) << "default range -96 dB … 0 dB";
    EXPECT_FLOAT_EQ(axes.levelToY(0), 1.0f);
    CurveAxes eq{20, 20000, -15, 15};
    EXPECT_FLOAT_EQ(eq.levelToY(0), 0.5f);
    EXPECT_FLOAT_EQ(eq.yToLevel(0.75f), 7.5f);
}

TEST(CurveAxes, GridLinesStayInsideTheRangeAndCarryTheirLabels)
{
    float lines[kMaxGridLines];
    CurveAxes axes{100, 5000, -15, 15};
    const int coarse = axes.gridLines(false, lines, kMaxGridLines);
    EXPECT_EQ(std::vector<float>(lines, lines + coarse),
              (std::vector<float>{100, 200, 500, 1000, 2000, 5000}));
    CurveAxes full;
    EXPECT_EQ(full.gridLines(true, lines, kMaxGridLines), 29);
    EXPECT_EQ(lines[27], 15000.0f);
    EXPECT_EQ(full.gridLines(true, lines, 3), 3) << "never more than the room given";
    EXPECT_EQ(gridLabel(20), "20 Hz");
    EXPECT_EQ(gridLabel(500), "500 Hz");
    EXPECT_EQ(gridLabel(2000), "2 kHz");
    EXPECT_EQ(gridLabel(15000), "15 kHz");
    EXPECT_EQ(gridLabel(999), "999 Hz");
}
