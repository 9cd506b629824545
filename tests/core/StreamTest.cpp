#include "core/FileStream.h"
#include "core/MemoryStream.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

using namespace Core::Portable;

TEST(MemoryStream, ReadsWritesAndSeeksLikeAFile)
{
    MemoryStream stream;
    EXPECT_EQ(stream.write("hello world", 11), 11);
    EXPECT_EQ(stream.seek(6), 6);
    EXPECT_EQ(stream.write("there", 5), 5);
    EXPECT_EQ(stream.toString(), "hello there");
    EXPECT_EQ(stream.seek(-5, Stream::SeekMode::End), 6);
    char buffer[16] = {};
    EXPECT_EQ(stream.read(buffer, sizeof buffer), 5);
    EXPECT_EQ(std::string(buffer, 5), "there");
    EXPECT_EQ(stream.read(buffer, sizeof buffer), 0);
    EXPECT_EQ(stream.seek(-1), -1);

    EXPECT_EQ(stream.seek(3, Stream::SeekMode::End), 14);
    EXPECT_EQ(stream.write("!", 1), 1);
    EXPECT_EQ(stream.view(), std::string_view("hello there\0\0\0!", 15));
}

TEST(MemoryStream, GrowsInWholeStepsOf1024Bytes)
{
    MemoryStream stream;
    stream.write("x", 1);
    EXPECT_EQ(stream.capacity(), 1024u);
    const std::string block(1500, 'y');
    stream.write(block.data(), static_cast<int>(block.size()));
    EXPECT_EQ(stream.capacity(), 2048u);
    const std::string large(200000, 'z');
    stream.write(large.data(), static_cast<int>(large.size()));
    EXPECT_EQ(stream.capacity() % 1024, 0u);
    EXPECT_EQ(stream.size(), 201501u);
}

TEST(MemoryStream, RefusesWritesPastItsLimit)
{
    MemoryStream stream;
    stream.setLimit(10);
    EXPECT_EQ(stream.write("12345678", 8), 8);
    EXPECT_EQ(stream.write("abc", 3), -1);
    EXPECT_EQ(stream.size(), 8u);
    EXPECT_EQ(stream.write("ab", 2), 2);
    EXPECT_FALSE(stream.resize(11));
}

class FileStreamTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder_ = std::filesystem::temp_directory_path() /
                  ("core_tests_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::string path(const char* name) const { return (folder_ / name).string(); }

    std::filesystem::path folder_;
};

TEST_F(FileStreamTest, WritesAtomicallyAndReadsBack)
{
    const std::string file = path("Tarn.settings");
    ASSERT_TRUE(FileStream::writeAtomically(file, "first"));
    ASSERT_TRUE(FileStream::writeAtomically(file, "second version"));
    MemoryStream contents;
    ASSERT_TRUE(FileStream::readAll(file, contents));
    EXPECT_EQ(contents.toString(), "second version");
    // Nothing but the file itself is left in the folder.
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder_))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST_F(FileStreamTest, AFailedAtomicWriteLeavesTheOldFile)
{
    const std::string file = path("keep");
    ASSERT_TRUE(FileStream::writeAtomically(file, "good"));
    EXPECT_FALSE(FileStream::writeAtomically(path("missing/folder/file"), "x"));
    MemoryStream contents;
    ASSERT_TRUE(FileStream::readAll(file, contents));
    EXPECT_EQ(contents.toString(), "good");
    MemoryStream none;
    EXPECT_FALSE(FileStream::readAll(path("absent"), none));
}

TEST_F(FileStreamTest, SeeksAndReadsAnOpenFile)
{
    FileStream stream;
    ASSERT_TRUE(stream.open(path("f"), FileStream::Mode::Create));
    EXPECT_EQ(stream.write("abcdef", 6), 6);
    char none[4];
    EXPECT_EQ(stream.read(none, sizeof none), -1); // opened for writing only
    ASSERT_TRUE(stream.close());
    ASSERT_TRUE(stream.open(path("f"), FileStream::Mode::Read));
    EXPECT_EQ(stream.seek(2), 2);
    char buffer[8];
    EXPECT_EQ(stream.read(buffer, sizeof buffer), 4);
    EXPECT_EQ(std::string(buffer, 4), "cdef");
    EXPECT_EQ(stream.write("x", 1), -1);
    ASSERT_TRUE(stream.close());
    MemoryStream contents;
    ASSERT_TRUE(FileStream::readAll(path("f"), contents));
    EXPECT_EQ(contents.toString(), "abcdef") << "the refused read left the file as written";
}

TEST_F(FileStreamTest, UpdateSwitchesBetweenReadingAndWritingInPlace)
{
    ASSERT_TRUE(FileStream::writeAtomically(path("u"), "abcdef"));
    FileStream stream;
    ASSERT_TRUE(stream.open(path("u"), FileStream::Mode::Update));
    char two[2];
    ASSERT_EQ(stream.read(two, 2), 2);
    EXPECT_EQ(stream.write("X", 1), 1);
    char rest[8];
    ASSERT_EQ(stream.read(rest, sizeof rest), 3);
    EXPECT_EQ(std::string(rest, 3), "def");
    ASSERT_TRUE(stream.close());
    MemoryStream contents;
    ASSERT_TRUE(FileStream::readAll(path("u"), contents));
    EXPECT_EQ(contents.toString(), "abXdef");
}
