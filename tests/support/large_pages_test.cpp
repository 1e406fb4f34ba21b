// Room on large pages is only advice: what a buffer holds never changes, and the room given
// is never less than asked.

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "support/large_pages.h"

namespace tamsel {
namespace {

TEST(LargePages, RoomIsAtLeastAskedAndWholeLargePagesFromOneOn) {
    for (const std::size_t bytes : {std::size_t{0}, std::size_t{1}, kLargePage - 1, kLargePage,
                                    kLargePage + 1, 4 * kLargePage - 4096, 5 * kLargePage}) {
        const std::size_t room = LargeRoom(bytes);
        EXPECT_GE(room, bytes) << bytes;
        if (bytes >= kLargePage) {
            EXPECT_LT(room - bytes, kLargePage) << bytes;
            EXPECT_EQ((room + 64) % kLargePage, 0U) << bytes;
        }
    }
}

TEST(LargePages, ReservingKeepsWhatTheBufferHolds) {
    for (const std::size_t capacity : {std::size_t{10}, 3 * kLargePage}) {
        std::string text("kept \0 bytes", 12);
        text.push_back('\0');
        const std::string before = text;
        ReserveLarge(text, capacity);
        EXPECT_EQ(text, before);
        EXPECT_GE(text.capacity(), capacity);

        std::vector<std::string> items = {"a", std::string(100, 'b')};
        const std::vector<std::string> itemsBefore = items;
        ReserveLarge(items, capacity / sizeof(std::string));
        EXPECT_EQ(items, itemsBefore);
        EXPECT_GE(items.capacity(), capacity / sizeof(std::string));
    }
}

}  // namespace
}  // namespace tamsel
