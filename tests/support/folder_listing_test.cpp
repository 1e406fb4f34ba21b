#include "support/folder_listing.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "test_support/temp_folder.h"

namespace tamsel {
namespace {

using Names = std::vector<std::string>;

struct PatternCase {
    const char* name;
    const char* pattern;
    bool matches;
};

TEST(MatchesListingPattern, FollowsTheWindowsRules) {
    const PatternCase cases[] = {
        {"Links.xml", "li*.*", true},  // case-insensitive prefix
        {"LINKS.XML", "links.xml", true},
        {"Li", "Li*.*", true},  // ".*" also matches no dot at all
        {"README", "*.*", true},
        {".hidden", "*.*", true},
        {"List.txt", "Lin*.*", false},
        {"abc", "a?c", true},
        {"ac", "a?c", false},
        {"a\xC3\xA9"
         "c",
         "a?c", true},                    // "?" takes a whole UTF-8 character
        {"\xC3\xA9", "\xC3\x89", false},  // no case folding beyond ASCII
        {"a.b.c", "*.c", true},
        {"abcbd", "a*b?", true},  // needs backtracking past the first "b"
        {"[x]", "[x]", true},     // brackets are plain characters
        {"x", "[x]", false},
        {"anything", "*", true},
        {"", "?", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MatchesListingPattern(c.name, c.pattern), c.matches)
            << c.name << " against " << c.pattern;
    }
}

TEST(ListingFolderPart, EndsAtTheLastSlash) {
    EXPECT_EQ(ListingFolderPart("/"), "/");
    EXPECT_EQ(ListingFolderPart("/tm*.*"), "/");
    EXPECT_EQ(ListingFolderPart("/a/b/Li*.*"), "/a/b/");
    EXPECT_EQ(ListingFolderPart("Li*.*"), "");
#ifndef _WIN32
    EXPECT_EQ(ListingFolderPart("/a/what?/b\\c*.*"), "/a/what?/");
#endif
}

class FolderListingTest : public ::testing::Test {
  protected:
    void touch(const std::string& name) { temp.write(name, "x"); }
    Names list(const std::string& namePattern, unsigned mask = kListEverything) {
        return ListFolder(temp.folder() + namePattern, mask);
    }
    test::TempFolder temp;
};

TEST_F(FolderListingTest, DotsLeadThenNamesInCaseInsensitiveOrder) {
    for (const char* name : {"b.txt", "C.txt", "a.txt", "_x", "-y"}) {
        touch(name);
    }
    // Letters sort as their capitals, so "_" follows them as on Windows.
#ifdef _WIN32
    EXPECT_EQ(list("*.*"), (Names{".", "..", "-y", "a.txt", "b.txt", "C.txt", "_x"}));
#else
    touch("B.txt");  // a name of its own only where names keep their case apart
    EXPECT_EQ(list("*.*"), (Names{".", "..", "-y", "a.txt", "B.txt", "b.txt", "C.txt", "_x"}));
#endif
}

TEST_F(FolderListingTest, PrefixIgnoresCaseAndOffersFoldersAndHiddenEntries) {
    touch("Links.xml");
    touch("List.txt");
    touch("Other.txt");
    touch(".linkrc");
    std::filesystem::create_directory(temp.root() / "LINKS");
    EXPECT_EQ(list("li*.*"), (Names{"LINKS", "Links.xml", "List.txt"}));
    EXPECT_EQ(list(".l*.*"), (Names{".linkrc"}));
}

TEST_F(FolderListingTest, MaskLeavesOutWhatItDoesNotAskFor) {
    touch("file");
    touch(".hidden");
    std::filesystem::create_directory(temp.root() / "sub");
    EXPECT_EQ(list("*.*", kListFolder), (Names{".", "..", "file", "sub"}));
    EXPECT_EQ(list("*.*", kListHidden), (Names{".hidden", "file"}));
    EXPECT_EQ(list("*", 0), (Names{"file"}));
}

TEST_F(FolderListingTest, WildcardsWorkInTheLastElement) {
    for (const char* name : {"data1.csv", "data22.csv", "notes.txt"}) {
        touch(name);
    }
    EXPECT_EQ(list("data?.*"), (Names{"data1.csv"}));
    EXPECT_EQ(list("*a*.csv"), (Names{"data1.csv", "data22.csv"}));
}

TEST_F(FolderListingTest, NothingWhenTheListingCannotStart) {
    touch("file");
    EXPECT_TRUE(list("missing/*.*").empty());
    EXPECT_TRUE(list("file/*.*").empty());  // a file is no folder
    EXPECT_TRUE(list("").empty());          // a pattern ending in its separator
}

TEST_F(FolderListingTest, RelativePatternListsTheCurrentFolder) {
    touch("relative.txt");
    auto previous = std::filesystem::current_path();
    std::filesystem::current_path(temp.root());
    Names names = ListFolder("rel*.*", kListEverything);
    std::filesystem::current_path(previous);
    EXPECT_EQ(names, (Names{"relative.txt"}));
}

#ifndef _WIN32
TEST(FolderListing, RootFolderIsListedNotTheCurrentOne) {
    Names names = ListFolder("/*.*", kListEverything);
    ASSERT_GE(names.size(), 3U);
    EXPECT_EQ(names[0], ".");
    EXPECT_EQ(names[1], "..");
    EXPECT_NE(std::find(names.begin(), names.end(), "tmp"), names.end());
}

TEST_F(FolderListingTest, BackslashIsPartOfANameHere) {
    touch("a\\b.txt");
    EXPECT_EQ(list("a\\*.*"), (Names{"a\\b.txt"}));
}
#endif

TEST_F(FolderListingTest, StartEndsThePreviousListing) {
    touch("one");
    touch("two");
    FolderListing listing;
    EXPECT_EQ(listing.Start(temp.folder() + "*.*", kListEverything), ".");
    EXPECT_EQ(listing.Next(), "..");
    EXPECT_EQ(listing.Start(temp.folder() + "t*.*", kListEverything), "two");
    EXPECT_EQ(listing.Next(), "");
    EXPECT_EQ(listing.Next(), "");
    EXPECT_EQ(listing.Start(temp.folder() + "none*.*", kListEverything), "");
}

}  // namespace
}  // namespace tamsel
