#pragma once

// What a list with folders tells, in list order: a browser's bookmark store read by
// convert/chromium_store.h or convert/places_store.h, and in the same shape a bookmarks
// export, whose "<DT><H3>" opens a folder and whose matching "</DL>" closes it.

#include <string_view>

namespace tamsel {

// Hears of a list's folders and bookmarks in the list's own order, depth first: a folder's
// FolderOpened, then everything in it, then its FolderClosed, so that the calls nest like
// brackets and every folder that opens closes again. Texts are lent for the call alone.
class BookmarkEvents {
  public:
    // A folder begins, with its name as the browser shows it.
    virtual void FolderOpened(std::string_view name) = 0;
    // The folder opened last ends.
    virtual void FolderClosed() = 0;
    // A bookmark with its title and address as the store holds them: not trimmed, not
    // checked for a web address, possibly empty, in UTF-8 as the browser wrote them.
    virtual void Bookmark(std::string_view title, std::string_view url) = 0;

  protected:
    ~BookmarkEvents() = default;
};

}  // namespace tamsel
