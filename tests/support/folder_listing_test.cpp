#include "support/folder_listing.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include "support/case_fold.h"
#include "support/folder_read_ahead.h"
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
    // Long shared starts, which the order skips a word at a time, differing in case or in
    // a byte on either side of a word's edge.
    const Names longNames{"entry-0000-long-A1", "entry-0000-long-a2", "ENTRY-0000-long-b",
                          "entry-0000-lonG_",   "entry-0000-long",    "entry-0000-lonf-z",
                          "entry-00001",        "Entry-0000-long-A1", "entry-0000-long-A1x"};
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

#ifdef _WIN32
// Typing on in a settled folder narrows the last listing; what it gives must be what the
// system gives for the same names ("typed*" takes the system's way every time).
TEST_F(FolderListingTest, NarrowedListingsAreTheSystemsOwn) {
    for (const char* name :
         {"Entry-1.txt", "entry_2.txt", "Enz.txt", "other.txt", "e", "en try spaced name.txt"}) {
        touch(name);
    }
    std::filesystem::create_directory(temp.root() / "ENTRY-3");
    // A folder written in the last 2 seconds is asked again every time.
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    const std::vector<std::string> typing{"",     "E",      "En",      "Ent",
                                          "entr", "entry-", "entry-3", "entry-39"};
    // The first round narrows the folder's listing read ahead, with the short names, once
    // its reading has started (a reading still queued is left to the listing itself).
    ReadFolderAhead(temp.folder());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    for (const unsigned mask : {kListEverything, 0U}) {
        std::vector<Names> narrowed;
        for (const std::string& typed : typing) {
            narrowed.push_back(list(typed + "*.*", mask));
        }
        for (std::size_t i = 0; i < typing.size(); ++i) {
            EXPECT_EQ(narrowed[i], list(typing[i] + "*", mask)) << typing[i] << " mask " << mask;
        }
    }
    list("Entr*.*");
    touch("Entry-4.txt");
    const Names afterAdding = list("Entry*.*", 0);
    EXPECT_EQ(afterAdding, list("Entry*", 0));
    EXPECT_NE(std::find(afterAdding.begin(), afterAdding.end(), "Entry-4.txt"), afterAdding.end());
}
#endif

// A folder that has not changed for a while is not read again; every change to its entries
// must still show in the next listing.
TEST_F(FolderListingTest, ListingFollowsEveryChangeOfASettledFolder) {
#ifdef _WIN32
    GTEST_SKIP() << "wine refuses to set a folder's modification time";
#endif
    namespace fs = std::filesystem;
    const auto settle = [&](int step) {
        const auto old =
            fs::file_time_type::clock::now() - std::chrono::hours(1) + std::chrono::seconds(step);
        fs::last_write_time(temp.root(), old);
    };
    touch("a.txt");
    touch("b.txt");
    settle(0);
    EXPECT_EQ(list("*.*"), (Names{".", "..", "a.txt", "b.txt"}));
    EXPECT_EQ(list("b*.*"), Names{"b.txt"});
    touch("c.txt");
    settle(1);
    EXPECT_EQ(list("*.*"), (Names{".", "..", "a.txt", "b.txt", "c.txt"}));
    fs::rename(temp.root() / "a.txt", temp.root() / "d.txt");
    settle(2);
    EXPECT_EQ(list("*.*"), (Names{".", "..", "b.txt", "c.txt", "d.txt"}));
    fs::remove(temp.root() / "b.txt");
    EXPECT_EQ(list("*.*"), (Names{".", "..", "c.txt", "d.txt"}));
    test::TempFolder other;
    other.write("x.txt", "x");
    EXPECT_EQ(ListFolder(other.folder() + "*.*", kListEverything), (Names{".", "..", "x.txt"}));
}

// A folder read ahead lists as if it were read now: whether its reading is queued, under
// way or done, and however many changes came since.
TEST_F(FolderListingTest, ReadingAheadNeverChangesAListing) {
#ifdef _WIN32
    GTEST_SKIP() << "wine refuses to set a folder's modification time";
#endif
    test::TempFolder other;
    Names expected{".", ".."};
    for (int step = 0; step < 20; ++step) {
        const std::string name = "entry" + std::to_string(100 + step);
        touch(name);
        expected.push_back(name);
        std::filesystem::last_write_time(
            temp.root(), std::filesystem::file_time_type::clock::now() - std::chrono::hours(1) +
                             std::chrono::seconds(step));
        ReadFolderAhead(temp.folder());
        ReadFolderAhead(other.folder());
        if (step % 2 == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ASSERT_EQ(list("*.*"), expected) << "after step " << step;
        ASSERT_EQ(list("entry" + std::to_string(100 + step) + "*.*"), Names{name});
    }
}

// On Linux a kept listing follows the changes the system tells of its folder, so that a
// large folder need not be read again. It must follow every one, even a change that leaves
// the folder's times as they were (as unpacking an archive does): names that differ only
// in case, entries renamed in and out, more changes at once than are followed one by one.
TEST_F(FolderListingTest, WatchedListingFollowsChangesThatKeepTheFolderTimes) {
#ifndef __linux__
    GTEST_SKIP() << "folders are watched on Linux alone";
#endif
    namespace fs = std::filesystem;
    test::TempFolder outside;
    const auto unchanged = fs::file_time_type::clock::now() - std::chrono::hours(1);
    const std::string letters = "aAbB_0";
    std::mt19937 random(7);
    std::set<std::string> present;
    for (int step = 0; step < 60; ++step) {
        const unsigned changes = step % 10 == 9 ? 40 : 1 + random() % 3;
        for (unsigned i = 0; i < changes; ++i) {
            std::string name;
            for (unsigned length = 1 + random() % 3; name.size() < length;) {
                name += letters[random() % letters.size()];
            }
            const bool byRename = random() % 2 == 0;
            const fs::path inside = temp.root() / name;
            if (present.erase(name) == 1 && byRename) {
                fs::rename(inside, outside.root() / name);
            } else if (fs::exists(inside)) {
                fs::remove(inside);
            } else if (byRename && fs::exists(outside.root() / name)) {
                fs::rename(outside.root() / name, inside);
                present.insert(name);
            } else {
                touch(name);
                present.insert(name);
            }
        }
        fs::last_write_time(temp.root(), unchanged);
        if (step % 4 == 0) {
            ReadFolderAhead(temp.folder());
        }
        // Case-insensitive order; names equal but for case in byte order.
        Names expected(present.begin(), present.end());
        const auto capitals = [](std::string name) {
            std::transform(name.begin(), name.end(), name.begin(), ::toupper);
            return name;
        };
        std::sort(expected.begin(), expected.end(), [&](const auto& a, const auto& b) {
            return std::tuple(capitals(a), a) < std::tuple(capitals(b), b);
        });
        expected.insert(expected.begin(), {".", ".."});
        ASSERT_EQ(list("*.*"), expected) << "after step " << step;
    }
}

#ifdef _WIN32
// On Windows a kept listing follows the system's word of its folder's changes while someone
// types, placing each new name where the system lists it. Whatever changes (entries made,
// removed, renamed in and out, hidden, with and without short names), every listing must be
// what the system lists then, narrowed by typed text or not. Under wine the word comes a
// moment after the change, so the listing waits for that moment.
TEST_F(FolderListingTest, WatchedListingIsTheSystemsOwnAfterEveryChange) {
    namespace fs = std::filesystem;
    test::TempFolder outside;
    const std::vector<std::string> names{"a",  "B",           "_0",          "ab",  "a_b",
                                         "b0", "long name a", "Long Name B", "a~1", "0"};
    std::mt19937 random(11);
    // Read ahead, the listing carries the short names, and every text typed here narrows it.
    ReadFolderAhead(temp.folder());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    for (int step = 0; step < 40; ++step) {
        for (unsigned i = 0, changes = step % 10 == 9 ? 20 : 1 + random() % 3; i < changes; ++i) {
            // Changes apart in time come to a listing in several readings of the word.
            std::this_thread::sleep_for(std::chrono::milliseconds(i % 2 * 5));
            const std::string& name = names[random() % names.size()];
            const fs::path inside = temp.root() / name;
            const fs::path away = outside.root() / name;
            if (fs::exists(inside)) {
                if (random() % 3 == 0) {
                    SetFileAttributesW(inside.c_str(),
                                       GetFileAttributesW(inside.c_str()) ^ FILE_ATTRIBUTE_HIDDEN);
                } else if (random() % 2 == 0 && !fs::exists(away)) {
                    fs::rename(inside, away);
                } else {
                    fs::remove(inside);
                }
            } else if (fs::exists(away) && random() % 2 == 0) {
                fs::rename(away, inside);
            } else if (random() % 4 == 0) {
                fs::create_directory(inside);
            } else {
                touch(name);
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        for (const std::string typed : {"", "a", "LONG", "b0"}) {
            for (const unsigned mask : {kListEverything, 0U}) {
                // The kept listing first: the system's own hears the word too.
                const Names kept = list(typed + "*.*", mask);
                ASSERT_EQ(kept, list(typed + "*", mask))
                    << "typed \"" << typed << "\" mask " << mask << " after step " << step;
            }
        }
    }
}
#endif

// What a listing holds between keys (a watch, which on Windows keeps folders from being
// renamed) is let go once nobody has listed for a while: once after the last use, not
// while uses keep coming, not without a use.
TEST(FolderReadAhead, IdleComesOnceAfterTheLastUse) {
    using namespace std::chrono_literals;
    std::atomic<int> idles = 0;
    FolderReadAhead ahead([](const std::string&) {}, [&] { ++idles; }, 1s);
    std::this_thread::sleep_for(50ms);
    for (int use = 0; use < 10; ++use) {
        ahead.Settle("a/");
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_EQ(idles, 0);
    for (int wait = 0; wait < 100 && idles == 0; ++wait) {
        std::this_thread::sleep_for(50ms);
    }
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(idles, 1);
}

}  // namespace
}  // namespace tamsel
