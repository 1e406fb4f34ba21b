#include "support/path.h"

#include <gtest/gtest.h>

namespace tamsel {
namespace {

TEST(ListingFolderPart, EndsAtTheLastSlash) {
    EXPECT_EQ(ListingFolderPart("/"), "/");
    EXPECT_EQ(ListingFolderPart("/tm*.*"), "/");
    EXPECT_EQ(ListingFolderPart("/a/b/Li*.*"), "/a/b/");
    EXPECT_EQ(ListingFolderPart("Li*.*"), "");
#ifdef _WIN32
    EXPECT_EQ(ListingFolderPart("C:Li*.*"), "C:");
    EXPECT_EQ(ListingFolderPart("C:\\a/b\\Li*.*"), "C:\\a/b\\");
#else
    EXPECT_EQ(ListingFolderPart("/a/what?/b\\c*.*"), "/a/what?/");
#endif
}

}  // namespace
}  // namespace tamsel
