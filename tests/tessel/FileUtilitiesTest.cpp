// File names made from user text.
#include <gtest/gtest.h>

#include "tessel/FileUtilities.h"

using Tessel::FileUtilities;

TEST(ValidFileName, ReplacesWhatNoFileSystemAccepts)
{
    EXPECT_EQ(FileUtilities::makeValidFileName("Hall: *main* <A|B>?"), "Hall_ _main_ _A_B__");
    EXPECT_EQ(FileUtilities::makeValidFileName("a/b\\c\"d"), "a_b_c_d");
    EXPECT_EQ(FileUtilities::makeValidFileName(std::string("tab\there\x01\x7f")), "tab_here__");
    EXPECT_EQ(FileUtilities::makeValidFileName("Café Zürich"), "Café Zürich") << "letters stay";
}

TEST(ValidFileName, NeverLeavesItsFolderAndIsNeverEmpty)
{
    EXPECT_EQ(FileUtilities::makeValidFileName("../../x"), "______x");
    EXPECT_EQ(FileUtilities::makeValidFileName(".."), "__");
    EXPECT_EQ(FileUtilities::makeValidFileName("."), "_");
    EXPECT_EQ(FileUtilities::makeValidFileName(""), "_");
    EXPECT_EQ(FileUtilities::makeValidFileName("   "), "_");
    EXPECT_EQ(FileUtilities::makeValidFileName("  name. . "), "name");
    for (const char* name : {"../../x", "..", "a/../b", "/etc/passwd", "..\\..\\x"})
    {
        std::string clean = FileUtilities::makeValidFileName(name);
        EXPECT_EQ(clean.find('/'), std::string::npos) << name;
        EXPECT_EQ(clean.find(".."), std::string::npos) << name;
    }
}

TEST(ValidFileName, GuardsReservedDeviceNames)
{
    EXPECT_EQ(FileUtilities::makeValidFileName("CON"), "_CON");
    EXPECT_EQ(FileUtilities::makeValidFileName("nul.txt"), "_nul.txt");
    EXPECT_EQ(FileUtilities::makeValidFileName("com7"), "_com7");
    EXPECT_EQ(FileUtilities::makeValidFileName("Console"), "Console");
}

TEST(ValidFileName, CapsTheLengthOnACharacterBoundary)
{
    std::string longName(300, 'x');
    EXPECT_EQ(FileUtilities::makeValidFileName(longName).size(), FileUtilities::kMaxFileNameLength);
    std::string accents;
    for (int i = 0; i < 100; ++i)
        accents += "\xC3\xA9"; // é, two bytes each
    std::string cut = FileUtilities::makeValidFileName(accents, 11);
    EXPECT_EQ(cut.size(), 10u);
    EXPECT_EQ(cut, accents.substr(0, 10));
}

TEST(FilePaths, JoinAndSplit)
{
    EXPECT_EQ(FileUtilities::joinPath("/a/", "b"), "/a/b");
    EXPECT_EQ(FileUtilities::joinPath("/a", "b"), "/a/b");
    EXPECT_EQ(FileUtilities::getExtension("/x.y/name.venue"), "venue");
    EXPECT_EQ(FileUtilities::getExtension("/x.y/name"), "");
    EXPECT_EQ(FileUtilities::getBaseName("/x/Hall_{1}.venue"), "Hall_{1}");
}
