#include "support/private_folder.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "test_support/temp_folder.h"

namespace tamsel {
namespace {

namespace fs = std::filesystem;

TEST(PrivateFolder, IsTheOwnersAloneBelowTmpdirAndGoesWithEverythingInIt) {
    test::TempFolder temp;
    const fs::path temporary = temp.root() / "tmp";
    const fs::path outside = temp.root() / "outside";
    fs::create_directories(temporary);
    fs::create_directories(outside);
    const char* old = getenv("TMPDIR");
    const std::string oldTemporary = old != nullptr ? old : "";
    setenv("TMPDIR", temporary.c_str(), 1);
    {
        const PrivateFolder first;
        const PrivateFolder second;
        ASSERT_FALSE(first.Path().empty());
        EXPECT_NE(first.Path(), second.Path());
        EXPECT_EQ(fs::path(first.Path()).parent_path().parent_path(), temporary);
        EXPECT_EQ(fs::status(first.Path()).permissions(), fs::perms::owner_all);
        fs::create_directories(first.Path() + "a/b");
        std::ofstream(first.Path() + "a/b/file") << "x";
        fs::create_directory_symlink(outside, first.Path() + "link");
        std::ofstream(outside / "kept") << "x";
    }
    EXPECT_TRUE(fs::is_empty(temporary));
    EXPECT_TRUE(fs::exists(outside / "kept"));

    setenv("TMPDIR", (temp.root() / "missing").c_str(), 1);
    EXPECT_EQ(PrivateFolder().Path(), "");
    old != nullptr ? setenv("TMPDIR", oldTemporary.c_str(), 1) : unsetenv("TMPDIR");
}

}  // namespace
}  // namespace tamsel
