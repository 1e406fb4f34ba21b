#include "support/folder_snapshot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "support/exact_listing.h"
#include "support/file_system.h"
#include "test_support/plain_file_system.h"
#include "test_support/temp_folder.h"

namespace tamsel {
namespace {

namespace fs = std::filesystem;

// An icon folder with every kind of entry that is not simply an icon.
class IconFolder : public testing::Test {
  protected:
    void SetUp() override {
        temp.write("IMAGES/Own.png", "png");
        temp.write("IMAGES/Empty.png", "");
        temp.write("IMAGES/Folder.png/inner.png", "png");
        temp.write("IMAGES/lower.png", "png");
        temp.write("IMAGES/Caf\xC3\xA9.png", "png");
        temp.write("IMAGES/Sub/Deep.png", "png");
        temp.write("IMAGES/back\\slash.png", "png");
        temp.write("IMAGES/k.png", "png");
        temp.write("IMAGES/\xC4\xB1.png", "png");  // a dotless i, upper case "I" on Windows
        temp.write("IMAGES\\Own.png", "png");      // beside IMAGES, for a folder spelled with "\"
#ifndef _WIN32
        fs::create_symlink("Own.png", temp.root() / "IMAGES" / "Linked.png");
        fs::create_symlink("nothing.png", temp.root() / "IMAGES" / "Dangling.png");
#endif
    }

    std::vector<std::string> Candidates(const std::string& folder) const {
        std::vector<std::string> paths;
        for (const char* name : {"Own.png",
                                 "own.png",
                                 "OWN.PNG",
                                 "Empty.png",
                                 "Folder.png",
                                 "Linked.png",
                                 "Dangling.png",
                                 "lower.png",
                                 "Lower.png",
                                 "Caf\xC3\xA9.png",
                                 "CAF\xC3\x89.png",
                                 "K.png",
                                 "\xE2\x84\xAA.png",  // the Kelvin sign, a "K" only folded
                                 "I.png",
                                 "i.png",
                                 "Sub/Deep.png",
                                 "Sub",
                                 ".",
                                 "..",
                                 "",
                                 "Missing.png",
                                 "Own.png/",
                                 "./Own.png",
                                 "../IMAGES/Own.png",
                                 "back\\slash.png",
                                 "Writing.png"}) {
            paths.push_back(folder + name);
        }
        paths.push_back(folder + std::string("Own.png\0.bak", 12));
        paths.push_back(temp.folder() + "Own.png");
        paths.push_back("Own.png");
        return paths;
    }

    test::TempFolder temp;
};

TEST_F(IconFolder, SnapshotAnswersAsTheProbeDoes) {
    // A file another process writes counts as missing; we stand in for that process.
    std::ofstream writing(temp.root() / "IMAGES" / "Writing.png");
    writing << "png" << std::flush;
    const std::string images = temp.folder() + "IMAGES/";
    // Probed one by one without a listing, only the listed names with one.
    test::PlainFileSystem unlisted(false);
    test::PlainFileSystem listed(true);
    const std::pair<const char*, FileSystem*> ways[] = {{"without a listing", &unlisted},
                                                        {"with a listing", &listed},
                                                        {"the machine's", &RealFileSystem()}};
    for (const std::string& prefix : {images, temp.folder() + "IMAGES\\", std::string()}) {
        for (const auto& [way, files] : ways) {
            FolderSnapshot snapshot(*files, prefix);
            for (const std::string& path : Candidates(prefix)) {
                EXPECT_EQ(snapshot.FileExists(path), files->FileExists(path))
                    << "path " << path << " " << way;
            }
        }
    }
}

TEST_F(IconFolder, SnapshotProbesOnlyListedNames) {
    const std::string images = temp.folder() + "IMAGES/";
    if (!ListExactNames(images)) {
        GTEST_SKIP() << "names are not compared exactly on this file system";
    }
    test::PlainFileSystem files(true);
    FolderSnapshot snapshot(files, images);
    for (const char* name : {"Missing.png", "own.png", "Lower.png", "Sub"}) {
        snapshot.FileExists(images + name);
    }
#ifdef _WIN32
    EXPECT_EQ(files.probes, 3);  // Windows finds "own.png" and "Lower.png" too
#else
    EXPECT_EQ(files.probes, 1);  // "Sub" is listed: a folder, but only a probe can tell
#endif
    files.probes = 0;
    EXPECT_TRUE(snapshot.FileExists(images + "Own.png"));
    EXPECT_FALSE(snapshot.FileExists(images + "Empty.png"));
    EXPECT_FALSE(snapshot.FileExists(images + "Empty.png"));  // a listed name is probed once
#ifdef _WIN32
    EXPECT_EQ(files.probes, 1);  // "Own.png" was probed as "own.png"
#else
    EXPECT_EQ(files.probes, 2);
#endif
}

TEST_F(IconFolder, ExactListingNamesEveryEntryOnce) {
    const std::optional<std::vector<std::string>> names = ListExactNames(temp.folder() + "IMAGES/");
    if (!names) {
        GTEST_SKIP() << "names are not compared exactly on this file system";
    }
    std::vector<std::string> sorted = *names;
    std::sort(sorted.begin(), sorted.end());
#ifdef _WIN32
    // Beside the names, the short 8.3 names of those that need one ("CAF~1.PNG").
    std::erase_if(sorted, [](const std::string& name) { return name.find('~') != name.npos; });
    EXPECT_EQ(sorted,
              (std::vector<std::string>{"Caf\xC3\xA9.png", "Empty.png", "Folder.png", "Own.png",
                                        "Sub", "back", "k.png", "lower.png", "\xC4\xB1.png"}));
#else
    EXPECT_EQ(sorted,
              (std::vector<std::string>{"Caf\xC3\xA9.png", "Dangling.png", "Empty.png",
                                        "Folder.png", "Linked.png", "Own.png", "Sub",
                                        "back\\slash.png", "k.png", "lower.png", "\xC4\xB1.png"}));
#endif
    EXPECT_FALSE(ListExactNames(temp.folder() + "Missing/"));
    EXPECT_FALSE(ListExactNames(temp.folder() + "IMAGES/Own.png"));
}

}  // namespace
}  // namespace tamsel
