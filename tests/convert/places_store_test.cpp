#include "convert/places_store.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "convert/conversion_run.h"
#include "convert/list_folders.h"
#include "recorded_events.h"
#include "run_setup.h"
#include "test_support/temp_folder.h"

namespace tamsel {
namespace {

namespace fs = std::filesystem;
using test::RecordedEvents;
using test::TempFolder;

// A connection of the test's own to a database it makes.
class Connection {
  public:
    explicit Connection(const std::string& path) {
        EXPECT_EQ(sqlite3_open(path.c_str(), &db_), SQLITE_OK) << path;
    }
    ~Connection() { sqlite3_close(db_); }

    // The result code of running `sql`; a failure fails the test unless it is expected.
    int Run(const std::string& sql, int expected = SQLITE_OK) {
        char* message = nullptr;
        const int code = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message);
        EXPECT_EQ(code, expected) << sql << ": " << (message ? message : "");
        sqlite3_free(message);
        return code;
    }
    sqlite3* Get() const { return db_; }

  private:
    sqlite3* db_ = nullptr;
};

constexpr std::string_view kSchema = R"(
CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR,
                         guid TEXT);
CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL,
                            parent INTEGER, position INTEGER, title LONGVARCHAR, guid TEXT);
INSERT INTO moz_bookmarks (id, type, parent, position, title, guid) VALUES
    (1, 2, 0, 0, '', 'root________'),
    (2, 2, 1, 0, 'menu', 'menu________'),
    (3, 2, 1, 1, 'toolbar', 'toolbar_____'),
    (4, 2, 1, 2, 'tags', 'tags________'),
    (5, 2, 1, 3, 'unfiled', 'unfiled_____'),
    (6, 2, 1, 4, 'mobile', 'mobile______');
)";

// Bookmarks inserted out of their order, a separator, a bookmark without an address, one
// of Firefox's own queries, and a tag that holds an address bookmarked in the menu.
constexpr std::string_view kBookmarks = R"(
INSERT INTO moz_places (id, url) VALUES (1, 'https://a.example/'), (2, 'http://b.example/'),
    (3, 'place:sort=8'), (4, 'https://deep.example/'), (5, 'https://tagged.example/'),
    (6, 'https://toolbar.example/'), (7, 'https://mobile.example/'),
    (8, 'https://other.example/');
INSERT INTO moz_bookmarks (id, type, fk, parent, position, title, guid) VALUES
    (10, 1, 2, 2, 2, 'B', 'b'), (11, 3, NULL, 2, 1, NULL, 's'), (12, 1, 1, 2, 0, 'A', 'a'),
    (13, 2, NULL, 2, 3, 'Folder', 'f'), (14, 1, 4, 13, 0, NULL, 'd'),
    (15, 2, NULL, 13, 1, 'Empty', 'e'), (16, 1, NULL, 2, 4, 'No address', 'n'),
    (17, 1, 3, 2, 5, 'Recent', 'r'), (18, 1, 5, 2, 6, 'Tagged', 't'),
    (20, 1, 6, 3, 0, 'Toolbar link', 'l'), (30, 2, NULL, 4, 0, 'news', 'g'),
    (31, 1, 5, 30, 0, NULL, 'u'), (40, 1, 8, 5, 0, 'Other', 'o'), (50, 1, 7, 6, 0, 'Phone', 'p');
)";

constexpr std::string_view kRead =
    "Bookmarks Menu{ A(https://a.example/) B(http://b.example/) "
    "Folder{ (https://deep.example/) Empty{ } } Recent(place:sort=8) "
    "Tagged(https://tagged.example/) } "
    "Bookmarks Toolbar{ Toolbar link(https://toolbar.example/) } "
    "Other Bookmarks{ Other(https://other.example/) } "
    "Mobile Bookmarks{ Phone(https://mobile.example/) }";

void MakeStore(const std::string& path, std::string_view sql) {
    Connection db(path);
    db.Run(std::string(sql));
}

std::vector<fs::path> Entries(const fs::path& folder) {
    std::vector<fs::path> entries{fs::directory_iterator(folder), {}};
    std::sort(entries.begin(), entries.end());
    return entries;
}

// As Firefox leaves it while it runs: every row in the write-ahead log alone, and the
// database locked by another connection in the middle of a write.
TEST(ReadPlacesStore, ReadsACopyOfALockedStoreWhoseRowsAreInItsLog) {
    TempFolder temp;
    const std::string live = temp.path("profile/places.sqlite");
    fs::create_directories(temp.root() / "profile");
    {
        Connection writer(live);
        writer.Run("PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;");
        sqlite3_db_config(writer.Get(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        writer.Run(std::string(kSchema) + std::string(kBookmarks));
    }
    fs::copy_file(live, temp.path("main-alone.sqlite"));
    Connection(temp.path("main-alone.sqlite"))
        .Run("SELECT count(*) FROM moz_bookmarks", SQLITE_ERROR);  // no such table

    Connection firefox(live);
    firefox.Run(
        "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE; INSERT INTO moz_bookmarks "
        "(type, fk, parent, position, title) VALUES (1, 1, 2, 9, 'Not committed');");
    Connection(live).Run("SELECT count(*) FROM moz_bookmarks", SQLITE_BUSY);
    const std::string liveBytes = temp.read("profile/places.sqlite");
    const std::string logBytes = temp.read("profile/places.sqlite-wal");
    ASSERT_FALSE(logBytes.empty());
    const std::vector<fs::path> beside = Entries(temp.root() / "profile");

    const fs::path temporary = temp.root() / "tmp";
    fs::create_directories(temporary);
    const std::string oldTemporary = getenv("TMPDIR") ? getenv("TMPDIR") : "";
    setenv("TMPDIR", temporary.c_str(), 1);
    RecordedEvents events;
    const StoreStatus status = ReadPlacesStore(live, events);
    oldTemporary.empty() ? unsetenv("TMPDIR") : setenv("TMPDIR", oldTemporary.c_str(), 1);

    EXPECT_EQ(status, StoreStatus::Read);
    EXPECT_EQ(events.text, kRead);
    EXPECT_TRUE(fs::is_empty(temporary));
    EXPECT_EQ(temp.read("profile/places.sqlite"), liveBytes);
    EXPECT_EQ(temp.read("profile/places.sqlite-wal"), logBytes);
    EXPECT_EQ(Entries(temp.root() / "profile"), beside);
}

struct BadStore {
    const char* what;
    std::function<void(const TempFolder& temp, const std::string& path)> make;
    StoreStatus status;
    std::string events = {};
};

TEST(ReadPlacesStore, TellsStoresOfOtherVersionsAndDamagedFilesApart) {
    const auto sql = [](std::string text) {
        return [text](const TempFolder&, const std::string& path) { MakeStore(path, text); };
    };
    const std::string schema(kSchema);
    const std::vector<BadStore> cases{
        {"another program's database", sql("CREATE TABLE notes (x);"), StoreStatus::NotAStore},
        {"no moz_places", sql(schema + "DROP TABLE moz_places;"), StoreStatus::OtherVersion},
        {"no guid column",
         sql("CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR);"
             "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER, "
             "parent INTEGER, position INTEGER, title LONGVARCHAR);"),
         StoreStatus::OtherVersion},
        {"no roots", sql(schema + "DELETE FROM moz_bookmarks;"), StoreStatus::OtherVersion},
        {"folders in a circle",
         sql(schema + "INSERT INTO moz_bookmarks (id, type, parent, position, title) VALUES "
                      "(13, 2, 2, 0, 'Loop'); UPDATE moz_bookmarks SET parent = 13 WHERE id = 2;"),
         StoreStatus::Read,
         "Bookmarks Menu{ Loop{ } } Bookmarks Toolbar{ } Other Bookmarks{ } "
         "Mobile Bookmarks{ }"},
        {"cut short",
         [&](const TempFolder& temp, const std::string& path) {
             MakeStore(path, schema + std::string(kBookmarks));
             fs::resize_file(test::FromUtf8(path), 4096 + 100);
             (void)temp;
         },
         StoreStatus::Damaged},
        {"header then garbage",
         [](const TempFolder& temp, const std::string&) {
             temp.write("places.sqlite",
                        std::string("SQLite format 3\0", 16) + std::string(8192, 'x'));
         },
         StoreStatus::Damaged},
        {"a text file",
         [](const TempFolder& temp, const std::string&) {
             temp.write("places.sqlite", "Home\r\nhttps://example.org/\r\n");
         },
         StoreStatus::NotAStore},
        {"nothing at the name", [](const TempFolder&, const std::string&) {},
         StoreStatus::Unreadable},
        {"a folder at the name",
         [](const TempFolder&, const std::string& path) { fs::create_directory(path); },
         StoreStatus::Unreadable},
    };
    for (const BadStore& c : cases) {
        TempFolder temp;
        const std::string path = temp.path("places.sqlite");
        c.make(temp, path);
        RecordedEvents events;
        EXPECT_EQ(ReadPlacesStore(path, events), c.status) << c.what;
        EXPECT_EQ(events.text, c.events) << c.what;
    }
}

// A run tells a places.sqlite by its content, whatever its name, and takes its links as an
// export's, from one folder when told; the folders are named as Firefox shows them.
TEST(ReadPlacesStore, IsAListOfARunWithItsFolders) {
    test::RunSetup setup;
    MakeStore(setup.paths().listPath, std::string(kSchema) + std::string(kBookmarks));
    std::vector<std::string> shown;  // the menu's counts left out: its folder holds no title
    for (const ListFolder& folder : ReadListFolders(setup.paths().listPath)) {
        const bool menu = folder.path.starts_with("Bookmarks Menu");
        shown.push_back(folder.path + (menu ? "" : " " + std::to_string(folder.links)));
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"Bookmarks Menu", "Bookmarks Menu/Folder",
                                               "Bookmarks Menu/Folder/Empty", "Bookmarks Toolbar 1",
                                               "Other Bookmarks 1", "Mobile Bookmarks 1"}));
    std::vector<std::string> urls;
    RunPaths paths = setup.paths();
    paths.folder = "bookmarks toolbar";
    const DecisionProbe probe = [&urls](const LinkDecision& link) { urls.emplace_back(link.url); };
    EXPECT_EQ(PreviewConversion(paths, probe).message, "Done");
    paths.folder = "Other Bookmarks";
    EXPECT_EQ(RunConversion(paths).message, "Done");
    EXPECT_EQ(urls, std::vector<std::string>{"https://toolbar.example/"});
    EXPECT_NE(setup.menu().find("N[Other|Other|||https://other.example/]"), std::string::npos);
    EXPECT_EQ(setup.menu().find("toolbar.example"), std::string::npos);
}

}  // namespace
}  // namespace tamsel
