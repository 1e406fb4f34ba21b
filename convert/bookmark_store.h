#pragma once

// A browser's own bookmark store given as the list: its kind, told by its content alone, what
// its reader (chromium_store.h, places_store.h) tells of it, and what became of reading it.

#include <cstddef>
#include <string_view>
#include <vector>

namespace tamsel {

// Hears of a store's folders and bookmarks in its own order, depth first: a folder's
// FolderOpened, everything in it, then its FolderClosed, nesting like brackets. A bookmarks
// export's "<DT><H3>" and matching "</DL>" tell the same. Texts are lent for the call alone.
class BookmarkEvents {
  public:
    // `name` as the browser shows it.
    virtual void FolderOpened(std::string_view name) = 0;
    virtual void FolderClosed() = 0;
    // As the store holds it: not trimmed, not checked for a web address, maybe empty, UTF-8.
    virtual void Bookmark(std::string_view title, std::string_view url) = 0;

  protected:
    ~BookmarkEvents() = default;
};

// Tells `events` of the folder `name` and everything in `top`, its children, depth first. The
// open folders are kept in a list of their own rather than on the call stack, so no nesting is
// too deep. `visit` tells `events` of one child and returns the children of a folder it opened,
// else nullptr; each folder's FolderClosed follows its children.
template <typename Children, typename Visit>
void WalkFolders(std::string_view name, const Children& top, Visit visit, BookmarkEvents& events) {
    struct Open {
        const Children* children;
        std::size_t next;
    };
    events.FolderOpened(name);
    std::vector<Open> open{{&top, 0}};
    while (!open.empty()) {
        Open& now = open.back();
        if (now.next == now.children->size()) {
            open.pop_back();
            events.FolderClosed();
        } else if (const Children* inner = visit((*now.children)[now.next++])) {
            open.push_back({inner, 0});
        }
    }
}

enum class StoreKind {
    None,      // no browser store: an ordinary list
    Chromium,  // may be a Chromium-family store: ReadChromiumStore decides
    Places,    // an SQLite database: ReadPlacesStore reads it
};

// The kind a file's start `head` tells: Places when it begins "SQLite format 3" and its NUL;
// Chromium when its first byte that is no JSON whitespace (after a UTF-8 byte-order mark) is
// "{"; None otherwise.
StoreKind StoreKindOf(std::string_view head);

// Bytes of a file's start that tell an SQLite database; a Chromium store tells itself in
// its first byte unless blanks come first.
inline constexpr std::size_t kStoreHeadSize = 16;

enum class StoreStatus {
    Read,          // the store's folders and bookmarks went to the events, none maybe
    NotAStore,     // no store of the reader's kind: nothing went to the events
    Damaged,       // a store of that kind, truncated or corrupt: nothing went to the events
    OtherVersion,  // a store whose layout is not the one known: nothing went to the events
    Unreadable,    // the file could not be read (or copied): nothing went to the events
    NotSupported,  // a store of a kind this build cannot read: Firefox's on Windows
};

// A run's message (an input problem of the list) for a store that gave `status`; empty for
// Read and for NotAStore, which a run reads as an ordinary list.
std::string_view StoreProblemMessage(StoreStatus status);

inline constexpr std::string_view kDamagedStoreMessage =
    "ERROR: Could not read the browser's bookmarks: the file is damaged";
inline constexpr std::string_view kOtherVersionStoreMessage =
    "ERROR: Could not read the browser's bookmarks: the file is from a browser version "
    "that Tamsel does not know";
inline constexpr std::string_view kUnreadableStoreMessage =
    "ERROR: Could not read the browser's bookmarks";
inline constexpr std::string_view kPlacesOnWindowsMessage =
    "Firefox's places.sqlite cannot be read on Windows. Please export the bookmarks to HTML "
    "in Firefox (Bookmarks, Manage Bookmarks, Import and Backup, Export Bookmarks to HTML) "
    "and enter that Bookmarks.html.";

}  // namespace tamsel
