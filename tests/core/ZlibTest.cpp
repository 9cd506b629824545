#include "core/Zlib.h"
#include "core/MemoryStream.h"
#include "core/ZlibTransformStream.h"

#include <gtest/gtest.h>

#include <random>
#include <thread>
#include <vector>

using namespace Core::Portable;

namespace
{

std::string messageLike(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string text;
    while (text.size() < size)
        text += "\"eqgain" + std::to_string(random() % 100) + "\": 0." + std::to_string(random()) + ",";
    text.resize(size);
    return text;
}

} // namespace

TEST(Zlib, RoundTripsMessagesInTheZlibFormat)
{
    for (std::size_t size : {std::size_t(0), std::size_t(1), std::size_t(40000), std::size_t(300000)})
    {
        const std::string text = messageLike(size, static_cast<unsigned>(size));
        std::string packed;
        ASSERT_TRUE(Core::Zlib::compress(text, packed));
        ASSERT_GE(packed.size(), 2u);
        EXPECT_EQ(static_cast<unsigned char>(packed[0]), 0x78); // zlib header, 32 KiB window
        std::string unpacked;
        ASSERT_TRUE(Core::Zlib::decompress(packed, unpacked));
        EXPECT_EQ(unpacked, text);
    }
}

TEST(Zlib, BoundsTheInflatedSize)
{
    const std::string zeros(Core::Zlib::kDefaultInflateLimit + 1, '\0');
    std::string bomb;
    ASSERT_TRUE(Core::Zlib::compress(zeros, bomb, 9));
    EXPECT_LT(bomb.size(), 40000u);
    std::string out;
    EXPECT_FALSE(Core::Zlib::decompress(bomb, out));
    EXPECT_LE(out.size(), Core::Zlib::kDefaultInflateLimit);

    std::string small;
    ASSERT_TRUE(Core::Zlib::compress(std::string(1000, 'a'), small));
    EXPECT_FALSE(Core::Zlib::decompress(small, out, 999));
    EXPECT_TRUE(Core::Zlib::decompress(small, out, 1000));
}

TEST(Zlib, RefusesCutOrDamagedDataAndIgnoresTrailingBytes)
{
    const std::string text = messageLike(5000, 3);
    std::string packed;
    ASSERT_TRUE(Core::Zlib::compress(text, packed));
    std::string out;
    EXPECT_FALSE(Core::Zlib::decompress(std::string_view(packed).substr(0, packed.size() - 5), out));
    EXPECT_FALSE(Core::Zlib::decompress("not compressed at all", out));
    EXPECT_FALSE(Core::Zlib::decompress("", out));
    std::string damaged = packed;
    damaged[damaged.size() / 2] ^= 0x55;
    EXPECT_FALSE(Core::Zlib::decompress(damaged, out));
    EXPECT_TRUE(Core::Zlib::decompress(packed + "trailing", out));
    EXPECT_EQ(out, text);
    // A failure leaves the thread's decompressor usable.
    EXPECT_TRUE(Core::Zlib::decompress(packed, out));
}

TEST(Zlib, StreamsWorkInPiecesAndCanBeReused)
{
    const std::string text = messageLike(100000, 5);
    MemoryStream packed;
    ZlibCompressorStream compressor(packed);
    for (std::size_t at = 0; at < text.size(); at += 777)
    {
        const std::size_t piece = std::min<std::size_t>(777, text.size() - at);
        ASSERT_EQ(compressor.write(text.data() + at, static_cast<int>(piece)), static_cast<int>(piece));
    }
    ASSERT_TRUE(compressor.finish());
    EXPECT_EQ(compressor.bytesIn(), text.size());
    EXPECT_EQ(compressor.bytesOut(), packed.size());

    MemoryStream unpacked;
    ZlibDecompressorStream decompressor(unpacked);
    for (std::size_t at = 0; at < packed.size(); at += 13)
    {
        const std::size_t piece = std::min<std::size_t>(13, packed.size() - at);
        ASSERT_EQ(decompressor.write(packed.data() + at, static_cast<int>(piece)), static_cast<int>(piece));
    }
    ASSERT_TRUE(decompressor.finish());
    EXPECT_EQ(unpacked.toString(), text);

    // Reset starts a new stream over the same target.
    MemoryStream second;
    compressor.setTarget(second);
    ASSERT_TRUE(compressor.reset());
    EXPECT_EQ(compressor.bytesIn(), 0u);
    ASSERT_EQ(compressor.write("again", 5), 5);
    ASSERT_TRUE(compressor.finish());
    std::string out;
    ASSERT_TRUE(Core::Zlib::decompress(second.view(), out));
    EXPECT_EQ(out, "again");
}

TEST(Zlib, ADecompressorFailsOnceItsTargetRefusesData)
{
    std::string packed;
    ASSERT_TRUE(Core::Zlib::compress(std::string(100000, 'q'), packed));
    MemoryStream target;
    target.setLimit(50000);
    ZlibDecompressorStream decompressor(target);
    EXPECT_EQ(decompressor.write(packed.data(), static_cast<int>(packed.size())), -1);
    EXPECT_TRUE(decompressor.hasFailed());
    EXPECT_FALSE(decompressor.finish());
}

TEST(Zlib, EveryThreadUsesItsOwnCompressor)
{
    std::vector<std::thread> threads;
    std::atomic<int> failures{0};
    for (unsigned t = 0; t < 4; ++t)
    {
        threads.emplace_back(
            [t, &failures]
            {
                for (int round = 0; round < 50; ++round)
                {
                    const std::string text = messageLike(2000 + t * 100 + round, t * 1000 + round);
                    std::string packed;
                    std::string out;
                    if (!Core::Zlib::compress(text, packed) || !Core::Zlib::decompress(packed, out) ||
                        out != text)
                        failures.fetch_add(1);
                }
            });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(failures.load(), 0);
}
