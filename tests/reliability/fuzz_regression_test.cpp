// Replays every input kept in fuzz/regressions/<target>/ through that fuzz target's own
// checks, so that a fault a fuzzer once found is checked for in every build.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>

#include "fuzz_targets.h"
#include "test_support/temp_folder.h"

namespace tamsel::fuzz {
namespace {

namespace fs = std::filesystem;

using Check = int (*)(const std::uint8_t*, std::size_t);

struct Target {
    const char* name;
    Check check;
    friend void PrintTo(const Target& target, std::ostream* out) { *out << target.name; }
};

class KeptInputs : public testing::TestWithParam<Target> {};

TEST_P(KeptInputs, PassTheirTargetsChecks) {
    const fs::path folder = fs::path(TAMSEL_FUZZ_REGRESSIONS) / GetParam().name;
    if (!fs::is_directory(folder)) {
        GTEST_SKIP() << "no kept inputs in " << folder;
    }
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().starts_with(".")) {
            continue;
        }
        SCOPED_TRACE(entry.path().string());
        const std::string bytes = test::ReadFileBytes(entry.path());
        EXPECT_EQ(
            GetParam().check(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Fuzzers, KeptInputs,
                         testing::Values(Target{"link_parser", FuzzLinkParser},
                                         Target{"replace_text", FuzzReplaceText},
                                         Target{"find_chunked", FuzzFindChunked},
                                         Target{"insert_before_tag", FuzzInsertBeforeTag},
                                         Target{"conversion", FuzzConversion},
                                         Target{"chromium_store", FuzzChromiumStore}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tamsel::fuzz
