// Band curves are computed for every redraw of the editor: once the grid exists they allocate
// nothing.
#include <gtest/gtest.h>

#include <vector>

#include "tests/AllocationCounter.h"
#include "tests/speaker/SpeakerTestSupport.h"

namespace
{
class CurveAllocation : public SpeakerTest::SpeakerFixture
{
};
} // namespace

TEST_F(CurveAllocation, BandAndSummedCurvesAllocateNothingOnceTheGridExists)
{
    auto* comp = composite();
    ASSERT_TRUE(comp);
    for (int band = 0; band < 16; ++band)
        comp->setActive(band, true);
    param("line/ch1/eq/eqallon")->setValue(1);
    std::vector<float> curve(512);
    ASSERT_TRUE(comp->getBandCurve(curve.data(), 0, 512)); // makes the grid
    ASSERT_TRUE(comp->getSummedCurve(curve.data(), 512));
    const long before = AllocationCounter::count();
    for (int redraw = 0; redraw < 3; ++redraw)
    {
        for (int band = 0; band < comp->getNumBands(); ++band)
            ASSERT_TRUE(comp->getBandCurve(curve.data(), band, 512));
        ASSERT_TRUE(comp->getSummedCurve(curve.data(), 512));
    }
    EXPECT_EQ(AllocationCounter::count(), before);
    curve.resize(1024);
    const long larger = AllocationCounter::count();
    EXPECT_TRUE(comp->getBandCurve(curve.data(), 0, 1024));
    EXPECT_GT(AllocationCounter::count(), larger) << "the counter works: a larger grid allocates";
}
