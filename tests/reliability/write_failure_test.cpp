// Writes that fail for real, through tamsel-convert: a disk that fills up (a file size limit
// on the process), and folders standing where the run must put a file. Root is not stopped by
// permission bits, so none of these rely on them.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>

#include "child_process.h"
#include "test_support/temp_folder.h"

namespace tamsel::test {
namespace {

constexpr const char* kMenu = "m/FEATURES/Links.xml";
constexpr const char* kBackup = "m/FEATURES/Links.xml.bak";
constexpr const char* kTemporary = "m/FEATURES/Links.xml.tmp";
constexpr const char* kWriteError = "ERROR: Could not write the Links.xml\n";
constexpr const char* kBackupError = "ERROR: Could not create a backup of the Links.xml\n";

class WriteFailure : public testing::Test {
  protected:
    void SetUp() override {
        temp.write("app/item_template_query.txt", "<Q k=\"#LINKID#\"/>\r\n");
        temp.write("app/item_template_image.txt", "<V k=\"#LINKID#\" u=\"#LINKURL#\"/>");
        temp.write("app/item_template_noimage.txt", "<V k=\"#LINKID#\" u=\"#LINKURL#\"/>");
        temp.write("m/IMAGES/network.png", "png");
        temp.copyFixture("lists/handwritten-crlf.txt", "list.txt");
        temp.copyFixture("menu/Links.xml", kMenu);
        previous = temp.read(kMenu);
    }

    struct Result {
        int exitCode;
        std::string output;
    };

    Result Convert(const ChildLimits& limits = {}) const {
        const ChildEnd end = WaitForChild(StartConvert(
            {"--app-folder", temp.path("app"), temp.path("list.txt"), temp.path(kMenu)},
            temp.path("output.txt"), limits));
        return {end.exitCode, temp.read("output.txt")};
    }

    void ExpectMenuUntouched() const {
        EXPECT_EQ(temp.read(kMenu), previous);
        EXPECT_FALSE(std::filesystem::is_regular_file(temp.path(kTemporary)))
            << "a temporary file is left behind";
    }

    TempFolder temp;
    std::string previous;
};

struct FullDisk {
    const char* name;
    std::uint64_t room;  // bytes any one file may hold
    friend void PrintTo(const FullDisk& disk, std::ostream* out) { *out << disk.name; }
};

class DiskFull : public WriteFailure, public testing::WithParamInterface<FullDisk> {};

TEST_P(DiskFull, StopsWithAWriteErrorAndKeepsTheMenu) {
    temp.write(kBackup, "an older backup");
    const Result result = Convert({GetParam().room});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.output, kWriteError);
    ExpectMenuUntouched();
    // With room again, the same run goes through.
    const Result again = Convert();
    EXPECT_EQ(again.exitCode, 0) << again.output;
    EXPECT_EQ(temp.read(kBackup), previous);
    EXPECT_GT(temp.read(kMenu).size(), GetParam().room) << "the new menu would have fitted";
}

INSTANTIATE_TEST_SUITE_P(Sizes, DiskFull,
                         testing::Values(FullDisk{"NotEvenTheOldMenuFits", 300},
                                         FullDisk{"OnlyTheOldMenuFits", 600}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WriteFailure, FolderInTheWayOfTheTemporaryFileStopsTheRun) {
    temp.write(std::string(kTemporary) + "/keep.txt", "someone's file");
    const Result result = Convert();
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.output, kWriteError);
    EXPECT_EQ(temp.read(kMenu), previous);
    EXPECT_EQ(temp.read(std::string(kTemporary) + "/keep.txt"), "someone's file");
    EXPECT_FALSE(temp.exists(kBackup));
}

TEST_F(WriteFailure, FolderInTheWayOfTheBackupStopsTheRun) {
    temp.write(std::string(kBackup) + "/keep.txt", "someone's file");
    const Result result = Convert();
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.output, kBackupError);
    ExpectMenuUntouched();
    EXPECT_EQ(temp.read(std::string(kBackup) + "/keep.txt"), "someone's file");
}

#if defined(__SANITIZE_ADDRESS__)
#define TAMSEL_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TAMSEL_ADDRESS_SANITIZER 1
#endif
#endif

// A list whose last line is long (a title that never gets an address), or a long menu, under a
// limit on the process's memory. Gathering, cleaning and parsing a line costs about
// its own length once more, so twice the line and some room fit (the program, its libraries
// and the stack its reading thread reserves); where memory does run out the run says so,
// exits with 2 and changes nothing.
struct MemoryCase {
    const char* name;
    bool longMenu;        // else a long list
    std::uint64_t limit;  // bytes of address space
    int exitCode;
    const char* output;
    friend void PrintTo(const MemoryCase& memory, std::ostream* out) { *out << memory.name; }
};

constexpr std::uint64_t kMiB = 1 << 20;
constexpr std::uint64_t kLongLine = 48 * kMiB;

class OutOfMemory : public WriteFailure, public testing::WithParamInterface<MemoryCase> {};

TEST_P(OutOfMemory, EndsWithItsMessageOrFitsTwiceTheLine) {
#ifdef TAMSEL_ADDRESS_SANITIZER
    GTEST_SKIP() << "a sanitizer build reserves more address space than any limit here";
#endif
    if (GetParam().longMenu) {
        previous.insert(previous.find("</XMBML>"), std::string(kLongLine, ' '));
        temp.write(kMenu, previous);
    } else {
        temp.write("list.txt", "Short\r\nhttps://example.org/\r\n" + std::string(kLongLine, 'x'));
    }
    temp.write(kBackup, "an older backup");
    const Result result = Convert({std::nullopt, true, GetParam().limit});
    EXPECT_EQ(result.exitCode, GetParam().exitCode);
    EXPECT_EQ(result.output, GetParam().output);
    EXPECT_EQ(temp.read(kBackup), result.exitCode == 0 ? previous : "an older backup");
    if (result.exitCode != 0) {
        ExpectMenuUntouched();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Limits, OutOfMemory,
    testing::Values(MemoryCase{"TwiceTheLineAndRoom", false, 16 * kMiB + kLongLine * 5 / 2, 0,
                               "Done\n"},
                    MemoryCase{"LessThanTheLine", false, 40 * kMiB, 2,
                               "ERROR: Not enough memory to convert the list\n"},
                    MemoryCase{"LessThanTheMenu", true, 40 * kMiB, 2,
                               "ERROR: Not enough memory to convert the list\n"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tamsel::test
