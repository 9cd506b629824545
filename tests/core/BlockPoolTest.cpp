#include "core/BlockPool.h"
#include "core/Attributes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

using namespace Core::Portable;

TEST(BlockPool, ReusesFreedBlocksBeforeTakingMoreFromTheHeap)
{
    BlockPool pool(40, 8);
    EXPECT_EQ(pool.blockSize(), 48u);
    void* first = pool.allocate();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(first) % 16, 0u);
    EXPECT_EQ(pool.blocksCreated(), 8);
    pool.deallocate(first);
    EXPECT_EQ(pool.allocate(), first);

    std::vector<void*> blocks;
    for (int i = 0; i < 20; ++i)
        blocks.push_back(pool.allocate());
    EXPECT_EQ(pool.blocksInUse(), 21);
    EXPECT_EQ(pool.blocksCreated(), 24);
    for (void* block : blocks)
        pool.deallocate(block);
    pool.deallocate(first);
    pool.deallocate(nullptr);
    EXPECT_EQ(pool.blocksInUse(), 0);
}

TEST(BlockPool, NeverHandsOneBlockToTwoThreadsAtOnce)
{
    BlockPool pool(64, 16);
    constexpr int kThreads = 4;
    constexpr int kRounds = 20000;
    std::atomic<int> corrupted{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
    {
        threads.emplace_back(
            [&pool, &corrupted, t]
            {
                std::vector<unsigned char*> held;
                for (int round = 0; round < kRounds; ++round)
                {
                    // Hold a varying number of blocks, each filled with this thread's mark.
                    auto* block = static_cast<unsigned char*>(pool.allocate());
                    std::memset(block, t + 1, 64);
                    held.push_back(block);
                    if (held.size() > static_cast<std::size_t>(round % 13))
                    {
                        for (unsigned char* b : held)
                        {
                            for (int i = 0; i < 64; ++i)
                            {
                                if (b[i] != t + 1)
                                {
                                    corrupted.fetch_add(1);
                                    break;
                                }
                            }
                            pool.deallocate(b);
                        }
                        held.clear();
                    }
                }
                for (unsigned char* b : held)
                    pool.deallocate(b);
            });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(corrupted.load(), 0);
    EXPECT_EQ(pool.blocksInUse(), 0);
    EXPECT_LE(pool.blocksCreated(), kThreads * 16 * 2);
}

TEST(BlockPool, AttributeSetsBuiltOnManyThreadsReturnEveryBlock)
{
    BlockPool& entries = BlockPool::forType<Attribute>();
    const auto before = entries.blocksInUse();
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 4; ++t)
    {
        threads.emplace_back(
            [t, &wrong]
            {
                for (int round = 0; round < 2000; ++round)
                {
                    Attributes set;
                    for (int i = 0; i < 10; ++i)
                        set.setAttributes("child" + std::to_string(i)).setInt64("owner", t);
                    for (int i = 0; i < 10; ++i)
                    {
                        if (set.getAttributes("child" + std::to_string(i))->getInt64("owner") != t)
                            wrong.fetch_add(1);
                    }
                }
            });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(entries.blocksInUse(), before);
}
