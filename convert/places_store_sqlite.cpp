#include "convert/places_store.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "support/private_folder.h"

namespace tamsel {

namespace {

constexpr int kBookmarkType = 1;
constexpr int kFolderType = 2;
constexpr std::string_view kTagsRoot = "tags________";

struct Root {
    std::string_view guid;
    std::string_view name;
};

constexpr std::array<Root, 4> kRoots{{
    {"menu________", "Bookmarks Menu"},
    {"toolbar_____", "Bookmarks Toolbar"},
    {"unfiled_____", "Other Bookmarks"},
    {"mobile______", "Mobile Bookmarks"},
}};

// One row of moz_bookmarks with its address.
struct Entry {
    std::int64_t id = 0;
    std::int64_t parent = 0;
    int type = 0;
    std::int64_t position = 0;
    std::string title;
    std::optional<std::string> url;
    std::string guid;
};

// The store's rows and, per folder id, its children in the order Firefox shows them.
struct Tree {
    std::vector<Entry> entries;
    std::unordered_map<std::int64_t, std::vector<std::size_t>> children;

    const std::vector<std::size_t>& ChildrenOf(std::int64_t id) const {
        static const std::vector<std::size_t> kNone;
        const auto found = children.find(id);
        return found == children.end() ? kNone : found->second;
    }
};

using Database = std::unique_ptr<sqlite3, decltype(&sqlite3_close)>;
using Statement = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

// The query `sql` prepared on `db`, and SQLite's result code in `code`.
Statement Prepare(sqlite3* db, const char* sql, int& code) {
    sqlite3_stmt* statement = nullptr;
    code = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    return Statement(statement, &sqlite3_finalize);
}

// What an SQLite result code other than OK says about the store.
StoreStatus FaultOf(int code) {
    switch (code & 0xff) {
        case SQLITE_NOMEM:
            throw std::bad_alloc();
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return StoreStatus::Damaged;
        default:
            return StoreStatus::Unreadable;
    }
}

std::string ColumnText(sqlite3_stmt* statement, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return text == nullptr
               ? std::string()
               : std::string(text,
                             static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
}

// How many of the two tables Firefox keeps bookmarks in the database holds.
std::optional<int> BookmarkTableCount(sqlite3* db, int& code) {
    const Statement statement = Prepare(db,
                                        "SELECT count(*) FROM sqlite_master WHERE type = 'table' "
                                        "AND name IN ('moz_bookmarks', 'moz_places')",
                                        code);
    if (code == SQLITE_OK) {
        code = sqlite3_step(statement.get());
    }
    return code == SQLITE_ROW ? std::optional(sqlite3_column_int(statement.get(), 0))
                              : std::nullopt;
}

StoreStatus ReadEntries(sqlite3* db, Tree& tree) {
    int code = SQLITE_OK;
    const Statement statement = Prepare(db,
                                        "SELECT b.id, b.parent, b.type, b.position, b.title, "
                                        "p.url, b.guid FROM moz_bookmarks AS b "
                                        "LEFT JOIN moz_places AS p ON p.id = b.fk",
                                        code);
    if (code != SQLITE_OK) {
        // A query that names a table or column the store lacks gives a plain error.
        return code == SQLITE_ERROR ? StoreStatus::OtherVersion : FaultOf(code);
    }
    sqlite3_stmt* row = statement.get();
    while ((code = sqlite3_step(row)) == SQLITE_ROW) {
        tree.entries.push_back({
            sqlite3_column_int64(row, 0),
            sqlite3_column_int64(row, 1),
            sqlite3_column_int(row, 2),
            sqlite3_column_int64(row, 3),
            ColumnText(row, 4),
            sqlite3_column_type(row, 5) != SQLITE_NULL ? std::optional(ColumnText(row, 5))
                                                       : std::nullopt,
            ColumnText(row, 6),
        });
    }
    return code == SQLITE_DONE ? StoreStatus::Read : FaultOf(code);
}

void Arrange(Tree& tree) {
    for (std::size_t i = 0; i < tree.entries.size(); ++i) {
        tree.children[tree.entries[i].parent].push_back(i);
    }
    for (auto& [parent, children] : tree.children) {
        std::ranges::sort(children, {}, [&tree](std::size_t i) {
            return std::pair(tree.entries[i].position, tree.entries[i].id);
        });
    }
}

bool BeginsAsSqlite(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::array<char, kStoreHeadSize> head{};
    file.read(head.data(), head.size());
    return file && StoreKindOf({head.data(), head.size()}) == StoreKind::Places;
}

// Copies the store and its write-ahead log into `folder`; the copy's path, or nothing.
std::optional<std::string> CopyStore(const std::string& path, const std::string& folder) {
    namespace fs = std::filesystem;
    const std::string copy = folder + "places.sqlite";
    const std::string log = path + "-wal";
    std::error_code error;
    if (!fs::copy_file(path, copy, error) ||
        (fs::exists(log, error) && !fs::copy_file(log, copy + "-wal", error))) {
        return std::nullopt;
    }
    // The copies keep the store's permission bits, which may forbid the writing that SQLite
    // opens a log for, even to read it.
    for (const std::string& file : {copy, copy + "-wal"}) {
        fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add,
                        error);
    }
    return copy;
}

// One copy of the store, read whole into `tree`.
StoreStatus ReadCopy(const std::string& path, Tree& tree) {
    const PrivateFolder folder;
    const std::optional<std::string> copy =
        folder.Path().empty() ? std::nullopt : CopyStore(path, folder.Path());
    if (!copy) {
        return StoreStatus::Unreadable;
    }
    if (!BeginsAsSqlite(*copy)) {
        return StoreStatus::NotAStore;
    }
    sqlite3* opened = nullptr;  // set even when the opening fails, and closed then too
    int code = sqlite3_open_v2(copy->c_str(), &opened, SQLITE_OPEN_READONLY, nullptr);
    const Database db(opened, &sqlite3_close);
    const std::optional<int> tables =
        code == SQLITE_OK ? BookmarkTableCount(db.get(), code) : std::nullopt;
    if (!tables) {
        return FaultOf(code);
    }
    if (*tables < 2) {
        return *tables == 0 ? StoreStatus::NotAStore : StoreStatus::OtherVersion;
    }
    const StoreStatus status = ReadEntries(db.get(), tree);
    if (status == StoreStatus::Read) {
        Arrange(tree);
    }
    return status;
}

// The folder at entries[at] and everything in it, depth first, each entry once.
void WalkFolder(const Tree& tree, std::size_t at, std::string_view name, std::vector<bool>& seen,
                BookmarkEvents& events) {
    seen[at] = true;
    const auto visit = [&](std::size_t child) -> const std::vector<std::size_t>* {
        const Entry& entry = tree.entries[child];
        if (seen[child] || entry.guid == kTagsRoot) {
            return nullptr;
        }
        seen[child] = true;
        if (entry.type == kBookmarkType && entry.url) {
            events.Bookmark(entry.title, *entry.url);
        } else if (entry.type == kFolderType) {
            events.FolderOpened(entry.title);
            return &tree.ChildrenOf(entry.id);
        }
        return nullptr;
    };
    WalkFolders(name, tree.ChildrenOf(tree.entries[at].id), visit, events);
}

// The entry of each root, by the roots' order; nothing for a root the store lacks.
std::array<std::optional<std::size_t>, kRoots.size()> FindRoots(const Tree& tree) {
    std::array<std::optional<std::size_t>, kRoots.size()> found;
    for (std::size_t r = 0; r < kRoots.size(); ++r) {
        const auto root = std::ranges::find(tree.entries, kRoots[r].guid, &Entry::guid);
        if (root != tree.entries.end()) {
            found[r] = static_cast<std::size_t>(root - tree.entries.begin());
        }
    }
    return found;
}

}  // namespace

StoreStatus ReadPlacesStore(const std::string& path, BookmarkEvents& events) {
    Tree tree;
    StoreStatus status = ReadCopy(path, tree);
    // Firefox may have been writing while the file was copied.
    if (status == StoreStatus::Damaged || status == StoreStatus::Unreadable) {
        tree = {};
        status = ReadCopy(path, tree);
    }
    if (status != StoreStatus::Read) {
        return status;
    }
    const auto roots = FindRoots(tree);
    if (std::none_of(roots.begin(), roots.end(), [](const auto& root) { return root; })) {
        return StoreStatus::OtherVersion;
    }
    std::vector<bool> seen(tree.entries.size());
    for (std::size_t r = 0; r < kRoots.size(); ++r) {
        if (roots[r] && !seen[*roots[r]]) {
            WalkFolder(tree, *roots[r], kRoots[r].name, seen, events);
        }
    }
    return StoreStatus::Read;
}

}  // namespace tamsel
