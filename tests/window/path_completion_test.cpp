#include "window/path_completion.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "test_support/temp_folder.h"

namespace tamsel {
namespace {

using Names = std::vector<std::string>;

Names Paths(const CompletionEntries& entries) {
    Names paths;
    for (std::size_t row = 0; row < entries.size(); ++row) {
        paths.push_back(entries[row]);
    }
    return paths;
}

// Folders held in memory, listed in the order given, matching names as the real listing
// does; it records every pattern and mask it is asked for.
struct FakeFolders {
    std::map<std::string, Names> folders{
        {"/Data/", {"Links.xml", "List.txt"}},
        {"/data/", {"Links.xml", "List.txt"}},
        {"/Exact/", {"List", "List.txt"}},
        {"/Dots/", {".", "..", ".hidden"}},
        {"/W/", {"Lx"}},
        {"/Twins/", {"Links.xml", "links.xml", "LINKS.txt"}},
        {"/\xC3\x9C\xF0\x9D\x84\x9E/", {"\xC3\xA9lan.txt"}},  // "/Ü𝄞/" holds "élan.txt"
    };
    std::vector<std::string> patterns;
    std::vector<unsigned> masks;

    FolderLister lister() {
        return [this](std::string_view pattern, unsigned mask, Names& names) {
            patterns.emplace_back(pattern);
            masks.push_back(mask);
            const std::string folder = ListingFolderPart(pattern);
            names.clear();
            for (const std::string& name : folders[folder]) {
                if (MatchesListingPattern(name, pattern.substr(folder.size()))) {
                    names.push_back(name);
                }
            }
        };
    }
};

struct Row {
    const char* typed;  // the caret stands at its end
    int keyCode;
    Names list;
    const char* text;
    int selStart;
    int selLength;
};

TEST(AutoComplete, FollowsTheWorkedExampleAndItsEdgeCases) {
    const Row rows[] = {
        {"/Data/Li", 73, {"/Data/Links.xml", "/Data/List.txt"}, "/Data/Links.xml", 8, 7},
        {"/Data/Lis", 83, {"/Data/List.txt"}, "/Data/List.txt", 9, 5},
        {"/Data/List", 84, {"/Data/List.txt"}, "/Data/List.txt", 10, 4},
        // The folder part as typed, the name as the file system writes it.
        {"/data/li", 73, {"/data/Links.xml", "/data/List.txt"}, "/data/Links.xml", 8, 7},
        // The separator key lists the folder and completes nothing.
        {"/Data/", 220, {"/Data/Links.xml", "/Data/List.txt"}, "/Data/", 6, 0},
        {"/Exact/List", 84, {"/Exact/List", "/Exact/List.txt"}, "/Exact/List", 11, 0},
        // Names that differ only in case: the one typed in its own case wins, wherever it
        // stands in the listing; without one, the first in any case.
        {"/Twins/links.xml",
         76,
         {"/Twins/Links.xml", "/Twins/links.xml"},
         "/Twins/links.xml",
         16,
         0},
        {"/Twins/li",
         73,
         {"/Twins/Links.xml", "/Twins/links.xml", "/Twins/LINKS.txt"},
         "/Twins/links.xml",
         9,
         7},
        {"/Twins/LINKS",
         83,
         {"/Twins/Links.xml", "/Twins/links.xml", "/Twins/LINKS.txt"},
         "/Twins/LINKS.txt",
         12,
         4},
        {"/Twins/lINK",
         75,
         {"/Twins/Links.xml", "/Twins/links.xml", "/Twins/LINKS.txt"},
         "/Twins/Links.xml",
         11,
         5},
        {"/Data/Lq", 81, {}, "/Data/Lq", 8, 0},
        {"/Dots/.", 190, {"/Dots/.hidden"}, "/Dots/.hidden", 7, 6},
        // A wildcard can make the completed text shorter than the typed one.
        {"/W/L*x*", 88, {"/W/Lx"}, "/W/Lx", 5, 0},
        // Positions count UTF-16 code units: "𝄞" two, "Ü" and "é" one each.
        {"/\xC3\x9C\xF0\x9D\x84\x9E/\xC3\xA9",
         69,
         {"/\xC3\x9C\xF0\x9D\x84\x9E/\xC3\xA9lan.txt"},
         "/\xC3\x9C\xF0\x9D\x84\x9E/\xC3\xA9lan.txt",
         6,
         7},
    };
    // One completion for every row, as a box keeps it: nothing of an earlier, longer list
    // may stay behind in a later one.
    Completion result;
    for (const Row& row : rows) {
        FakeFolders files;
        ASSERT_TRUE(AutoComplete(CaretAtEnd(row.typed), row.keyCode, 0, result, files.lister()))
            << row.typed;
        EXPECT_EQ(Paths(result.entries), row.list) << row.typed;
        EXPECT_EQ(result.edit, (EditState{row.text, row.selStart, row.selLength})) << row.typed;
        EXPECT_EQ(files.patterns, Names{std::string(row.typed) + "*.*"});
        EXPECT_EQ(files.masks, std::vector<unsigned>{23});
    }
}

struct Guard {
    const char* what;
    EditState box;
    int keyCode;
    int shift;
    bool attempts;
};

std::string Typed(int units, const char* tail = "") {
    return "/" + std::string(static_cast<std::size_t>(units - 1), 'a') + tail;
}

TEST(AutoComplete, KeyFilterCaretAndLengthGuardsStopItBeforeAnyListing) {
    const EditState lis = CaretAtEnd("/Data/Lis");
    const Guard guards[] = {
        {"letter", lis, 83, 0, true},
        {"letter with Alt", lis, 88, 4, true},
        {"main-row digit", lis, 49, 0, true},
        {"period", lis, 190, 0, true},
        {"separator", lis, 220, 0, true},
        {"digit with Shift", lis, 49, 1, false},
        {"digit with Ctrl", lis, 50, 2, false},
        {"keypad digit", lis, 97, 0, false},
        {"minus", lis, 189, 0, false},
        {"space", lis, 32, 0, false},
        {"backspace", lis, 8, 0, false},
        {"arrow down", lis, 40, 0, false},
        {"F2", lis, 113, 0, false},
        {"Enter", lis, 13, 0, false},
        {"caret inside", {"/Data/Lis", 3, 0}, 83, 0, false},
        {"completion tail selected", {"/Data/Links.xml", 8, 7}, 83, 0, false},
        {"two characters", CaretAtEnd("/t"), 84, 0, false},
        {"three characters", CaretAtEnd("/tm"), 77, 0, true},
        {"249 units", CaretAtEnd(Typed(249)), 65, 0, true},
        {"250 units", CaretAtEnd(Typed(250)), 65, 0, false},
        {"249 units with a two-byte letter", CaretAtEnd(Typed(248, "\xC3\xA9")), 65, 0, true},
        {"250 units with a surrogate pair", CaretAtEnd(Typed(248, "\xF0\x9D\x84\x9E")), 65, 0,
         false},
    };
    for (const Guard& guard : guards) {
        FakeFolders files;
        Completion result;
        EXPECT_EQ(AutoComplete(guard.box, guard.keyCode, guard.shift, result, files.lister()),
                  guard.attempts)
            << guard.what;
        EXPECT_EQ(files.patterns.size(), guard.attempts ? 1U : 0U) << guard.what;
    }
}

TEST(AutoComplete, MatchesLettersBeyondAsciiInAnyCase) {
    test::TempFolder temp;
    // Written through a UTF-8 path, which a narrow string is not on every platform.
    std::ofstream(temp.root() / std::filesystem::path(u8"\u00DCn\u00EF c\u00F6d\u00E9.txt")) << "x";
    temp.write("unrelated", "x");
    temp.write("kelvin", "x");
    const std::string typed = temp.folder() + "\xC3\xBCn\xC3\xAF";  // "ünï"
    Completion result;
    ASSERT_TRUE(AutoComplete(CaretAtEnd(typed), 73, 0, result));
    const std::string completed = temp.folder() +
                                  "\xC3\x9Cn\xC3\xAF c\xC3\xB6"
                                  "d\xC3\xA9.txt";
    EXPECT_EQ(Paths(result.entries), Names{completed});
    EXPECT_EQ(result.edit, (EditState{completed, Utf16Length(typed), 9}));
#ifndef _WIN32  // Windows compares names by its own upper-case table, not by folding
    // The Kelvin sign folds to an ASCII "k", so ASCII names must still be looked at.
    ASSERT_TRUE(AutoComplete(CaretAtEnd(temp.folder() + "\xE2\x84\xAA"), 75, 0, result));
    EXPECT_EQ(Paths(result.entries), Names{temp.folder() + "kelvin"});
#endif
}

TEST(WalkRow, MovesWithinTheListByRowAndByPage) {
    struct Walk {
        int keyCode, current, rows, visible;
        std::optional<int> row;
    };
    const Walk walks[] = {
        {40, -1, 3, 10, 0},
        {38, -1, 3, 10, 0},
        {40, 2, 3, 10, 2},
        {38, 0, 3, 10, 0},
        {34, 0, 100, 10, 9},
        {33, 50, 100, 10, 41},
        {34, 95, 100, 10, 99},
        {34, 0, 100, 1, 1},
        {40, -1, 0, 10, std::nullopt},
        {37, 1, 3, 10, std::nullopt},
    };
    for (const Walk& walk : walks) {
        EXPECT_EQ(WalkRow(walk.keyCode, walk.current, walk.rows, walk.visible), walk.row)
            << walk.keyCode << " from " << walk.current;
    }
}

}  // namespace
}  // namespace tamsel
