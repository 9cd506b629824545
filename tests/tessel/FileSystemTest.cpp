// The file system's writing side: atomic replacement, listing by name, removal, moves and folders.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tessel/HeadlessPlatform.h"
#include "tessel/IFileSystem.h"
#include "tessel/Platform.h"

using namespace Tessel;

namespace
{

class FileWrites : public ::testing::Test
{
protected:
    FileWrites()
    {
        std::string pattern = ::testing::TempDir() + "tessel-fs-XXXXXX";
        folder = ::mkdtemp(pattern.data());
        files = GetFileSystem();
    }
    ~FileWrites() override { std::system(("rm -rf '" + folder + "'").c_str()); }

    std::string path(const std::string& name) const { return folder + "/" + name; }
    std::string read(const std::string& name) const
    {
        std::string bytes;
        files->readFile(path(name), bytes);
        return bytes;
    }
    std::vector<std::string> list() const
    {
        std::vector<std::string> names;
        files->listFolder(folder, names);
        return names;
    }

    HeadlessPlatform platform;
    std::string folder;
    IFileSystem* files = nullptr;
};

} // namespace

TEST_F(FileWrites, WriteReplacesTheFileAndLeavesNoTemporaryBehind)
{
    ASSERT_TRUE(files->writeFile(path("a.venue"), "first"));
    ASSERT_TRUE(files->writeFile("file://" + path("a.venue"), "second, longer"));
    EXPECT_EQ(read("a.venue"), "second, longer");
    EXPECT_EQ(list(), std::vector<std::string>{"a.venue"});
}

TEST_F(FileWrites, FailedWritesKeepTheOldFile)
{
    ASSERT_TRUE(files->writeFile(path("a.venue"), "good"));
    EXPECT_FALSE(files->writeFile(path("missing/a.venue"), "x")) << "no such folder";
    EXPECT_FALSE(files->writeFile(folder, "x")) << "a folder is never replaced";
    EXPECT_FALSE(files->writeFile("resource:///a.venue", "x"));

    platform.setWritesFail(true);
    EXPECT_FALSE(files->writeFile(path("a.venue"), "a much longer replacement"));
    platform.setWritesFail(false);
    EXPECT_EQ(read("a.venue"), "good");
    EXPECT_EQ(list(), std::vector<std::string>{"a.venue"});
}

TEST_F(FileWrites, ListsByNameIgnoringCase)
{
    for (const char* name : {"b.venue", "A.venue", "c.cache", "a.venue", "B2.venue"})
        ASSERT_TRUE(files->writeFile(path(name), name));
    ASSERT_TRUE(files->createFolder(path("Cache")));
    EXPECT_EQ(list(),
              (std::vector<std::string>{"A.venue", "a.venue", "b.venue", "B2.venue", "c.cache", "Cache"}));

    std::vector<std::string> names{"stale"};
    EXPECT_FALSE(files->listFolder(path("nothing"), names));
    EXPECT_TRUE(names.empty());
}

TEST_F(FileWrites, RemovesAndMovesFilesButNotFolders)
{
    ASSERT_TRUE(files->writeFile(path("old.venue"), "v"));
    ASSERT_TRUE(files->writeFile(path("other.venue"), "w"));
    EXPECT_TRUE(files->moveFile(path("old.venue"), path("new.venue")));
    EXPECT_EQ(read("new.venue"), "v");
    EXPECT_FALSE(files->exists(path("old.venue")));
    EXPECT_FALSE(files->moveFile(path("old.venue"), path("again.venue"))) << "source gone";
    EXPECT_TRUE(files->moveFile(path("other.venue"), path("new.venue"))) << "replaces the target";
    EXPECT_EQ(read("new.venue"), "w");

    EXPECT_TRUE(files->removeFile(path("new.venue")));
    EXPECT_FALSE(files->removeFile(path("new.venue")));
    ASSERT_TRUE(files->createFolder(path("sub")));
    EXPECT_FALSE(files->removeFile(path("sub")));
    EXPECT_TRUE(files->isFolder(path("sub")));
}

TEST_F(FileWrites, CreatesFoldersWithTheirParents)
{
    EXPECT_TRUE(files->createFolder(path("Vellaris/Ambrel/Venues")));
    EXPECT_TRUE(files->isFolder(path("Vellaris/Ambrel/Venues")));
    EXPECT_TRUE(files->createFolder(path("Vellaris/Ambrel/Venues"))) << "an existing folder is fine";
    ASSERT_TRUE(files->writeFile(path("plain"), "x"));
    EXPECT_FALSE(files->createFolder(path("plain/below"))) << "a file stands in the way";
}
