#include "window/folder_listings.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "test_support/temp_folder.h"

namespace tamsel {
namespace {

using Names = std::vector<std::string>;

// What a listing gives when nothing was kept: the folder read now.
Names ListFolder(const std::string& pattern, unsigned mask) {
    Names names{"left from before"};
    FolderListings().List(pattern, mask, names);
    return names;
}

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
         "a?c", true},                        // "?" takes a whole UTF-8 character
        {"\xC3\xA9", "\xC3\x89", true},       // é, É: Unicode simple case folding
        {"\xCF\x82", "\xCE\xA3", true},       // final ς, Σ
        {"k", "\xE2\x84\xAA", true},          // Kelvin sign folds to a one-byte k
        {"K", "\xE2\x84\xAA", true},          // and so does the capital K
        {"\xC3\x9F", "\xE1\xBA\x9E*", true},  // ß, capital ẞ
        {"ss", "\xC3\x9F", false},            // full folding only: ß stays one letter
        {"i", "\xC4\xB0", false},             // İ has no simple folding
        {"\xC4\x81", "\xC4\x80", true},       // ā, Ā: every second code point
        {"\xC4\x81", "\xC4\x82", false},      // ā, Ă
        {"\xC3\xA9", "\xC3", false},          // a lone lead byte is no letter
        {"\xFF", "\xFF", true},               // an invalid byte matches itself
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

// A completion's "typed*.*" is matched by a prefix comparison alone; it must say what the
// general rule says of the same pattern ("**" is "*" to it).
TEST(MatchesListingPattern, CompletionPatternIsATypedPrefix) {
    const char* names[] = {"Links.xml", "Li", "li.", "LINKS",    "List.txt", "\xC3\xA9lan.txt",
                           "k.txt",     "",   ".x",  "\xC3\x9F", "\xC3",     "a.b.c"};
    const char* typed[] = {"",          "l",        "LI",           "lin",
                           "Links.xml", "\xC3\x89", "\xE2\x84\xAA", "\xE1\xBA\x9E",
                           ".",         "\xC3",     "a.b.c.",       "a.b"};
    for (const char* name : names) {
        for (const char* prefix : typed) {
            EXPECT_EQ(MatchesListingPattern(name, std::string(prefix) + "*.*"),
                      MatchesListingPattern(name, std::string(prefix) + "**.*"))
                << name << " against " << prefix;
        }
    }
}

TEST(FoldCase, FollowsUnicodeSimpleCaseFolding) {
    const std::pair<char32_t, char32_t> cases[] = {
        {U'A', U'a'},
        {U'a', U'a'},
        {U'\u00DC', U'\u00FC'},  // Ü
        {U'\u1E9E', U'\u00DF'},  // capital sharp s
        {U'\u212A', U'k'},       // Kelvin sign
        {U'\u03A3', U'\u03C3'},
        {U'\u03C2', U'\u03C3'},          // both sigmas
        {U'\u0130', U'\u0130'},          // dotted capital I has only a full folding
        {U'\u13F8', U'\u13F0'},          // Cherokee folds to its capitals
        {U'\U00010400', U'\U00010428'},  // beyond the basic plane
    };
    for (const auto& [from, to] : cases) {
        EXPECT_EQ(FoldCase(from), to) << std::hex << static_cast<unsigned>(from);
    }
}

class FolderListingTest : public ::testing::Test {
  protected:
    void touch(const std::string& name) { temp.write(name, "x"); }
    Names list(const std::string& namePattern, unsigned mask = kListEverything) {
        Names names;
        listings.List(temp.folder() + namePattern, mask, names);
        return names;
    }
    test::TempFolder temp;
    // Settled 20 ms after a change, so that most listings here answer from a kept one.
    FolderListings listings{std::chrono::milliseconds(20)};
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
    // Long shared starts, which the order compares sixteen bytes at a time, differing in
    // case or in a byte on either side of that edge, or beyond it.
    const Names longNames{"entry-0000-long-A1",
                          "entry-0000-long-a2",
                          "ENTRY-0000-long-b",
                          "entry-0000-lonG_",
                          "entry-0000-long",
                          "entry-0000-lonf-z",
                          "entry-00001",
                          "Entry-0000-long-A1",
                          "entry-0000-long-A1x",
                          "entry-0000-lon\xC3\x89",
                          "entry-0000-lon\xC3\xA9x"};
    for (const std::string& name : longNames) {
        touch(name);
    }
    Names expected = longNames;
    const auto folded = [](std::string name) {
        for (char& c : name) {
            c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        }
        return name;
    };
    std::sort(expected.begin(), expected.end(), [&](const std::string& a, const std::string& b) {
        return std::tuple(folded(a), a) < std::tuple(folded(b), b);
    });
    EXPECT_EQ(list("ent*.*"), expected);
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

// A kept listing is read again whenever its folder changed. Whatever changes (names that
// differ only in case, entries renamed in and out, folders, the folder's modification time
// set back as unpacking an archive sets it), every listing must be what reading the folder
// now gives, through any pattern and mask.
TEST_F(FolderListingTest, KeptListingShowsEveryChangeOfItsFolder) {
    namespace fs = std::filesystem;
    test::TempFolder outside;
    const std::string letters = "aAbB_0";
    std::mt19937 random(7);
    for (int step = 0; step < 40; ++step) {
        [[maybe_unused]] const fs::file_time_type before = fs::last_write_time(temp.root());
        for (unsigned i = 0, changes = random() % 4; i < changes; ++i) {
            std::string name;
            for (unsigned length = 1 + random() % 3; name.size() < length;) {
                name += letters[random() % letters.size()];
            }
            const bool byRename = random() % 2 == 0;
            const fs::path inside = temp.root() / name;
            const fs::path away = outside.root() / name;
            if (fs::exists(inside) && byRename && !fs::exists(away)) {
                fs::rename(inside, away);
            } else if (fs::exists(inside)) {
                fs::remove(inside);
            } else if (byRename && fs::exists(away)) {
                fs::rename(away, inside);
            } else if (random() % 4 == 0) {
                fs::create_directory(inside);
            } else {
                touch(name);
            }
        }
#ifndef _WIN32  // wine refuses to set a folder's modification time
        if (step % 3 == 2) {
            fs::last_write_time(temp.root(), before);
        }
#endif
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
        for (const char* typed : {"", "a", "B"}) {
            for (const unsigned mask : {kListEverything, 0U}) {
                const std::string pattern = std::string(typed) + "*.*";
                ASSERT_EQ(list(pattern, mask), ListFolder(temp.folder() + pattern, mask))
                    << "typed \"" << typed << "\" mask " << mask << " after step " << step;
            }
        }
    }
}

}  // namespace
}  // namespace tamsel
