#include "support/path.h"

#include <gtest/gtest.h>

#include <string>

namespace tamsel {
namespace {

struct PathCase {
    std::string path;
    std::string folder;
};

class ExtractPathTable : public testing::TestWithParam<PathCase> {};

TEST_P(ExtractPathTable, GivesFolderPart) {
    EXPECT_EQ(ExtractPath(GetParam().path), GetParam().folder) << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtractPathTable,
    testing::Values(PathCase{"C:\\Data\\Links.xml", "C:\\Data\\"},
                    PathCase{"C:\\Data\\", "C:\\Data\\"}, PathCase{"Links.xml", ""},
                    PathCase{"C:Links.xml", ""}, PathCase{"C:\\a/b.txt", "C:\\"},
                    PathCase{"dir/sub/page.htm?x=a/b", "dir/sub/"}, PathCase{"?a\\b", ""},
                    PathCase{"X:\\APP\\FEATURES", "X:\\APP\\"},
                    PathCase{"/home/u/FEATURES/Links.xml", "/home/u/FEATURES/"}, PathCase{"/", "/"},
                    PathCase{"", ""}));

TEST(FolderOfFile, KeepsQuestionMarksThatNameFolders) {
    EXPECT_EQ(FolderOfFile("/home/u/a?b/FEATURES/Links.xml"), "/home/u/a?b/FEATURES/");
    EXPECT_EQ(FolderOfFile("\\\\?\\C:\\APP\\Links.xml"), "\\\\?\\C:\\APP\\");
    EXPECT_EQ(FolderOfFile("?a\\b"), "?a\\");
    EXPECT_EQ(FolderOfFile("C:\\a/b.txt"), "C:\\");
    EXPECT_EQ(FolderOfFile("Links.xml"), "");
}

// The folders files are written in: the platform's own separators only.
TEST(NativeFolderOf, CutsAtThePlatformsSeparators) {
#ifdef _WIN32
    EXPECT_EQ(NativeFolderOf("C:\\a/b\\Links.xml"), "C:\\a/b\\");
    EXPECT_EQ(NativeFolderOf("C:\\a\\b/Links.xml"), "C:\\a\\b/");
#else
    EXPECT_EQ(NativeFolderOf("/home/u/we\\ird/menu.xml"), "/home/u/we\\ird/");
    EXPECT_EQ(NativeFolderOf("a\\b.xml"), "");
#endif
    EXPECT_EQ(NativeFolderOf("Links.xml"), "");
    EXPECT_EQ(NativeFolderOf("/Links.xml"), "/");
}

TEST(WithNativeSeparatorAtEnd, EndsInExactlyOneSeparator) {
#ifdef _WIN32
    EXPECT_EQ(WithNativeSeparatorAtEnd("D:\\"), "D:\\");
    EXPECT_EQ(WithNativeSeparatorAtEnd("D:\\Tamsel"), "D:\\Tamsel\\");
#else
    EXPECT_EQ(WithNativeSeparatorAtEnd("/"), "/");
    EXPECT_EQ(WithNativeSeparatorAtEnd("/opt/Tamsel"), "/opt/Tamsel/");
    EXPECT_EQ(WithNativeSeparatorAtEnd("/opt/Tamsel/"), "/opt/Tamsel/");
#endif
}

}  // namespace
}  // namespace tamsel
