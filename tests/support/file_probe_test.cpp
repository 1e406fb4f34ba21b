#include "support/file_probe.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/file_probe_parts.h"
#include "support/file_system.h"
#include "test_support/temp_folder.h"

namespace tamsel {
namespace {
TEST(IsInvalidHandle, HoldsForZeroAndMinusOneOnly) {
    EXPECT_TRUE(probe::IsInvalidHandle(0));
    EXPECT_TRUE(probe::IsInvalidHandle(-1));
    EXPECT_FALSE(probe::IsInvalidHandle(-2));
    EXPECT_FALSE(probe::IsInvalidHandle(1));
    EXPECT_FALSE(probe::IsInvalidHandle(3));
}

class FileProbe : public testing::Test {
  protected:
    test::TempFolder temp;
};

TEST_F(FileProbe, AnswersForOrdinaryPaths) {
    temp.write("empty.txt", "");
    temp.write("one.txt", "x");
    temp.write("sub/inner.txt", "abc");
    struct Case {
        std::string relative;
        std::uint64_t size;
    };
    for (const Case& c : {Case{"missing.txt", 0}, Case{"empty.txt", 0}, Case{"one.txt", 1},
                          Case{"sub", 0}, Case{"sub/inner.txt", 3}, Case{"sub/missing/x", 0}}) {
        EXPECT_EQ(ProbeFileSize(temp.path(c.relative)), c.size) << c.relative;
        EXPECT_EQ(FileExists(temp.path(c.relative)), c.size > 0) << c.relative;
    }
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(temp.path("one.txt") + std::string(1, '\0') + ".bak"));
}

// Entries probed through their folder answer as their paths do, for every kind of entry
// and for names that are not one element; a folder that cannot be opened is probed by paths.
TEST_F(FileProbe, EntriesOfAFolderAnswerAsTheirPaths) {
    temp.write("empty.txt", "");
    temp.write("one.txt", "x");
    temp.write("sub/inner.txt", "abc");
    std::vector<std::string> names = {"missing.txt",   "empty.txt", "one.txt", "sub",
                                      "sub/inner.txt", "..",        "",        "/one.txt"};
#ifndef _WIN32
    std::filesystem::create_symlink("one.txt", temp.root() / "link.txt");
    std::filesystem::create_symlink("nowhere.txt", temp.root() / "dangling.txt");
    std::filesystem::create_directory_symlink("sub", temp.root() / "linkdir");
    names.insert(names.end(), {"link.txt", "dangling.txt", "linkdir", "linkdir/inner.txt"});
#endif
    for (const std::string& folder :
         {temp.folder(), temp.folder() + "sub/", temp.folder() + "missing/"}) {
        const native::Folder held = native::OpenFolderForLookup(folder);
        const auto probe = RealFileSystem().EntryProbe(folder);
        for (const std::string& name : names) {
            EXPECT_EQ(ProbeEntrySize(held, name), ProbeFileSize(folder + name)) << folder << name;
            EXPECT_EQ(probe(name), FileExists(folder + name)) << folder << name;
        }
    }
}

// Sizes whose low 32 bits read negative as a signed value, or that need the high half.
TEST_F(FileProbe, SparseFilesBeyond32BitsHaveExactSizes) {
    const std::string path = temp.path("big.bin");
    temp.write("big.bin", "");
    for (const std::uint64_t size : {std::uint64_t{1} << 31, (std::uint64_t{1} << 32) - 1,
                                     std::uint64_t{1} << 32, std::uint64_t{6} << 30}) {
        std::filesystem::resize_file(test::FromUtf8(path), size);
        EXPECT_EQ(ProbeFileSize(path), size);
        EXPECT_TRUE(FileExists(path));
    }
}

}  // namespace
}  // namespace tamsel
