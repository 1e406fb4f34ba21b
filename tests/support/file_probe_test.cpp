#include "support/file_probe.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "test_support/temp_folder.h"

namespace tamsel {
namespace {
TEST(LargeToDouble, ReadsNegativeHalvesAsUnsigned) {
    EXPECT_EQ(LargeToDouble(-1, 0), 4294967295.0);
    EXPECT_EQ(LargeToDouble(0, 1), 4294967296.0);
    EXPECT_EQ(LargeToDouble(-2147483648, 0), 2147483648.0);
    EXPECT_EQ(LargeToDouble(-2147483648, 1), 6442450944.0);  // 6 GiB
    EXPECT_EQ(LargeToDouble(0, 0), 0.0);
    EXPECT_EQ(LargeToDouble(-1, 0x1FFFFF), 9007199254740991.0);  // 2^53 - 1, still exact
}

TEST(IsInvalidHandle, HoldsForZeroAndMinusOneOnly) {
    EXPECT_TRUE(IsInvalidHandle(0));
    EXPECT_TRUE(IsInvalidHandle(-1));
    EXPECT_FALSE(IsInvalidHandle(-2));
    EXPECT_FALSE(IsInvalidHandle(1));
    EXPECT_FALSE(IsInvalidHandle(3));
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
        double size;
    };
    for (const Case& c : {Case{"missing.txt", 0}, Case{"empty.txt", 0}, Case{"one.txt", 1},
                          Case{"sub", 0}, Case{"sub/inner.txt", 3}, Case{"sub/missing/x", 0}}) {
        EXPECT_EQ(ProbeFileSize(temp.path(c.relative)), c.size) << c.relative;
        EXPECT_EQ(FileExists(temp.path(c.relative)), c.size > 0) << c.relative;
    }
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(temp.path("one.txt") + std::string(1, '\0') + ".bak"));
}

TEST_F(FileProbe, SparseSixGibFileHasExactSize) {
    const std::string path = temp.path("big.bin");
    temp.write("big.bin", "");
    std::filesystem::resize_file(test::FromUtf8(path), 6LL << 30);
    EXPECT_EQ(ProbeFileSize(path), 6442450944.0);
    EXPECT_TRUE(FileExists(path));
}

}  // namespace
}  // namespace tamsel
