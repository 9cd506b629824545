// Band curves are computed for every redraw of the editor: once the grid exists they allocate
// nothing. Counts every allocation made through operator new in this program.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "tests/speaker/SpeakerTestSupport.h"

namespace
{
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size)
{
    ++allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

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
    const long before = allocations.load();
    for (int redraw = 0; redraw < 3; ++redraw)
    {
        for (int band = 0; band < comp->getNumBands(); ++band)
            ASSERT_TRUE(comp->getBandCurve(curve.data(), band, 512));
        ASSERT_TRUE(comp->getSummedCurve(curve.data(), 512));
    }
    EXPECT_EQ(allocations.load(), before);
    curve.resize(1024);
    const long larger = allocations.load();
    EXPECT_TRUE(comp->getBandCurve(curve.data(), 0, 1024));
    EXPECT_GT(allocations.load(), larger) << "the counter works: a larger grid allocates";
}
