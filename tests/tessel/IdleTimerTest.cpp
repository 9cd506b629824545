#include <gtest/gtest.h>

#include "tessel/HeadlessPlatform.h"
#include "tessel/IdleClient.h"

using namespace Tessel;

namespace
{
struct Fixture
{
    HeadlessPlatform platform;
    std::vector<int64_t> runs;
    IdleClient timer{[this]() { runs.push_back(platform.now()); }};
};
} // namespace

TEST(IdleTimer, PeriodicRunsAtEachPeriodFromStart)
{
    Fixture f;
    f.platform.setTime(1000);
    f.timer.start(100, true);
    EXPECT_TRUE(f.timer.isRegistered());
    EXPECT_EQ(f.timer.getNextDue(), 1100);
    f.platform.advance(99);
    EXPECT_TRUE(f.runs.empty());
    f.platform.advance(1);
    f.platform.advance(250);
    EXPECT_EQ(f.runs, (std::vector<int64_t>{1100, 1200, 1300}));
    f.timer.stop();
    EXPECT_FALSE(f.timer.isRegistered());
    f.platform.advance(500);
    EXPECT_EQ(f.runs.size(), 3u);
}

TEST(IdleTimer, OneShotStopsItselfBeforeRunning)
{
    Fixture f;
    bool registeredWhileRunning = true;
    f.timer.setWork(
        [&]()
        {
            registeredWhileRunning = f.timer.isRegistered();
            f.runs.push_back(f.platform.now());
        });
    f.timer.start(50, false);
    f.platform.advance(1000);
    EXPECT_EQ(f.runs, (std::vector<int64_t>{50}));
    EXPECT_FALSE(registeredWhileRunning);
    EXPECT_EQ(f.platform.getIdleTasks().count(), 0);
}

TEST(IdleTimer, ZeroPeriodRunsOnEveryIdleTurn)
{
    Fixture f;
    f.timer.start(0, true);
    EXPECT_EQ(f.timer.getNextDue(), 0);
    f.platform.advance(0);
    f.platform.advance(0);
    f.platform.advance(HeadlessPlatform::kIdleStepMs * 3);
    EXPECT_EQ(f.runs.size(), 5u);
}

TEST(IdleTimer, OneShotWithZeroPeriodRunsOnce)
{
    Fixture f;
    f.timer.start(0, false);
    f.platform.advance(100);
    EXPECT_EQ(f.runs, (std::vector<int64_t>{HeadlessPlatform::kIdleStepMs}));
    EXPECT_FALSE(f.timer.isRegistered());
}

TEST(IdleTimer, RestartMovesTheDueTimeWithoutRegisteringTwice)
{
    Fixture f;
    f.timer.start(100, true);
    f.platform.advance(60);
    f.timer.start(100, true);
    EXPECT_EQ(f.platform.getIdleTasks().count(), 1);
    f.platform.advance(99);
    EXPECT_TRUE(f.runs.empty());
    f.platform.advance(1);
    EXPECT_EQ(f.runs, (std::vector<int64_t>{160}));
}

TEST(IdleTimer, DestructionUnregisters)
{
    HeadlessPlatform platform;
    int runs = 0;
    {
        IdleClient timer([&]() { ++runs; });
        timer.start(0, true);
        platform.advance(0);
    }
    EXPECT_EQ(platform.getIdleTasks().count(), 0);
    platform.advance(100);
    EXPECT_EQ(runs, 1);
}

TEST(IdleTimer, ATaskRemovedDuringATurnIsNotCalled)
{
    HeadlessPlatform platform;
    int secondRuns = 0;
    IdleClient second([&]() { ++secondRuns; });
    IdleClient first([&]() { second.stop(); });
    first.start(0, true);
    second.start(0, true);
    platform.advance(0);
    EXPECT_EQ(secondRuns, 0);
}
