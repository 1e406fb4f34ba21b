#include "convert/chromium_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "convert/bookmark_store.h"
#include "recorded_events.h"

namespace tamsel {
namespace {

using test::RecordedEvents;

// A store as the browser writes it, with the members a reader must pass over, the roots in
// another order than they are read in, and every kind of node.
constexpr std::string_view kStore = R"json({
   "checksum": "0123456789abcdef0123456789abcdef",
   "roots": {
      "synced": { "children": [ { "name": "Phone", "type": "url", "url": "https://m.example/" } ],
                  "name": "", "type": "folder" },
      "trash": { "children": [ { "name": "Gone", "type": "url", "url": "https://gone/" } ],
                 "name": "Trash", "type": "folder" },
      "other": { "children": [
            { "name": "Note", "type": "url", "url": "javascript:alert(1)" },
            { "children": [], "name": "Empty", "type": "folder" } ],
         "name": "More", "type": "folder" },
      "bookmark_bar": { "children": [
            { "date_added": "13231234567890123", "guid": "a", "id": "5",
              "meta_info": { "power_bookmark_meta": "" }, "name": "  A \u00e9 \ud83d\ude00 ",
              "type": "url", "url": "https://a.example/?q=1&r=2" },
            { "children": [
                  { "name": "", "type": "url", "url": "http://untitled/" },
                  { "name": 7, "type": "url", "url": "http://name-no-text/" },
                  { "name": "No address", "type": "url" },
                  { "name": "Number address", "type": "url", "url": 12 },
                  { "name": "Separator", "type": "separator" },
                  "not a node", 42, null,
                  { "children": { "not": "an array" }, "name": "Odd", "type": "folder" },
                  { "children": [ { "name": "Deep", "type": "url", "url": "https://deep/" } ],
                    "name": "Inner", "type": "folder" } ],
              "name": "Web", "type": "folder" },
            { "children": [ { "name": "Hidden", "type": "url", "url": "https://hidden/" } ],
              "name": "Url with children", "type": "url", "url": "https://parent/" } ],
         "name": "", "type": "folder" }
   },
   "sync_metadata": "c29tZXRoaW5n",
   "version": 1
})json";

struct StoreCase {
    std::string json;
    StoreStatus status;
    std::string events;
};

TEST(ReadChromiumStore, ReadsStoresAndTellsEveryOtherTextApart) {
    const std::string store(kStore);
    const std::vector<StoreCase> cases{
        {store, StoreStatus::Read,
         "Bookmarks bar{ "
         "  A \xc3\xa9 \xf0\x9f\x98\x80 (https://a.example/?q=1&r=2) "
         "Web{ (http://untitled/) (http://name-no-text/) Odd{ } Inner{ Deep(https://deep/) } } "
         "Url with children(https://parent/) } "
         "More{ Note(javascript:alert(1)) Empty{ } } "
         "Mobile bookmarks{ Phone(https://m.example/) }"},
        {"\xef\xbb\xbf\r\n {\"roots\": {\"other\": {\"type\": \"folder\"}}}\n", StoreStatus::Read,
         "Other bookmarks{ }"},
        {R"({"roots": {}})", StoreStatus::Read, ""},
        {R"({"roots": {"bookmark_bar": [], "other": "x", "synced": {"type": "url"}}})",
         StoreStatus::Read, ""},
        {R"({"roots": []})", StoreStatus::OtherVersion, ""},
        {R"({"roots": null})", StoreStatus::OtherVersion, ""},
        // Stores cut short or spoilt.
        {store.substr(0, store.size() / 2), StoreStatus::Damaged, ""},
        {store.substr(0, store.size() - 1), StoreStatus::Damaged, ""},
        {store + ",", StoreStatus::Damaged, ""},
        {R"({"roots": {"other": {"name": "bad )"
         "\xff\xfe"
         R"(", "type": "folder"}}})",
         StoreStatus::Damaged, ""},
        {R"({"roots": {}, "version": 1e999})", StoreStatus::Damaged, ""},
        {R"({"roots": {}, "version": 123456789012345678901234567890})", StoreStatus::Read, ""},
        {R"({"roots": {}} {"roots": {}})", StoreStatus::Damaged, ""},
        {R"({"roots": {"other": {"name": "x\u0000y", "type": "folder"}}})", StoreStatus::Read,
         std::string("x\0y{ }", 6)},
        // Texts that are no store at all: read as ordinary lists.
        {"", StoreStatus::NotAStore, ""},
        {"Home\r\nhttps://example.org/\r\n", StoreStatus::NotAStore, ""},
        {"{Braces} in a title\r\nhttps://example.org/\r\n", StoreStatus::NotAStore, ""},
        {"[]", StoreStatus::NotAStore, ""},
        {"{}", StoreStatus::NotAStore, ""},
        {R"({"profile": {"roots": {}}})", StoreStatus::NotAStore, ""},
        {R"(  "roots": {} )", StoreStatus::NotAStore, ""},
    };
    for (const StoreCase& c : cases) {
        RecordedEvents events;
        EXPECT_EQ(ReadChromiumStore(c.json, events), c.status) << c.json;
        EXPECT_EQ(events.text, c.events) << c.json;
    }
}

// Folders nested far deeper than any call stack holds, and as deep a member that is no node.
TEST(ReadChromiumStore, NestingOfAnyDepthIsReadWithoutRecursion) {
    constexpr int kDepth = 100000;
    std::string nested;
    for (int i = 0; i < kDepth; ++i) {
        nested += R"({"type": "folder", "name": "f", "children": [)";
    }
    nested += R"({"type": "url", "name": "x", "url": "https://x/"})";
    for (int i = 0; i < kDepth; ++i) {
        nested += "]}";
    }
    const std::string store = R"({"roots": {"bookmark_bar": )" + nested + R"(}, "meta_info": )" +
                              std::string(kDepth, '[') + std::string(kDepth, ']') + "}";
    RecordedEvents events;
    EXPECT_EQ(ReadChromiumStore(store, events), StoreStatus::Read);
    EXPECT_EQ(events.maxDepth, kDepth);
    EXPECT_EQ(events.depth, 0);
    EXPECT_EQ(events.bookmarks, 1);
}

TEST(StoreKindOf, TellsTheKindByTheFirstBytesAlone) {
    const std::vector<std::pair<std::string, StoreKind>> cases{
        {std::string("SQLite format 3\0", 16), StoreKind::Places},
        {std::string("SQLite format 3\0\x10\0\x02\x02", 20), StoreKind::Places},
        {"SQLite format 3", StoreKind::None},
        {"SQLite format 3 and more", StoreKind::None},
        {"{", StoreKind::Chromium},
        {" \t\r\n{\n", StoreKind::Chromium},
        {"\xef\xbb\xbf{", StoreKind::Chromium},
        {"\xef\xbb\xbf", StoreKind::None},
        {"", StoreKind::None},
        {"   ", StoreKind::None},
        {"x{", StoreKind::None},
        {"\xc2\xa0{", StoreKind::None},
        {"<!DOCTYPE NETSCAPE-Bookmark-file-1>", StoreKind::None},
    };
    for (const auto& [head, kind] : cases) {
        EXPECT_EQ(StoreKindOf(head), kind) << head;
    }
}

}  // namespace
}  // namespace tamsel
