#include "support/file_system.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

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
