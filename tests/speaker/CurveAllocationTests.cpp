// Band curves are computed for every redraw of the editor: once the grid exists they allocate
// nothing.
#include <gtest/gtest.h>

#include <vector>

#include "tessel/Parameter.h"
#include "tests/AllocationCounter.h"
#include "tests/speaker/SpeakerTestSupport.h"

namespace
{
class CurveAllocation : public SpeakerTest::SpeakerFixture
{
};

class CountingView : public Tessel::Object
{
public:
    int heard = 0;
    void notify(Tessel::ISubject*, const Tessel::Message&) override { ++heard; }
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

// Meters and mirrored values signal their views many times a second, the curve views among them:
// delivering a change to a handful of views allocates nothing either.
TEST(SignalAllocation, AChangeReachesItsViewsWithoutAllocating)
{
    long counted = 0;
    {
        Tessel::AutoPtr<Tessel::Parameter> level = Tessel::Parameter::createFloat(0, 1, "level");
        std::vector<Tessel::AutoPtr<CountingView>> views;
        for (int i = 0; i < 4; ++i)
        {
            views.emplace_back(new CountingView);
            level->addObserver(views.back().get());
        }
        const long before = AllocationCounter::count();
        for (int step = 1; step <= 10; ++step)
            level->setValue(Tessel::Variant(step / 10.0));
        counted = AllocationCounter::count() - before;
        for (const auto& view : views)
            EXPECT_EQ(view->heard, 10);
    }
    EXPECT_EQ(counted, 0);
}
