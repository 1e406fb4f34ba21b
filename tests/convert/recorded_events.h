#pragma once

// Writes down what a store reader tells, as one line: a folder as its name followed by
// "{ ... }", a bookmark as its title with its address in parentheses, separated by blanks;
// "Bar{ A(https://a/) Sub{ } }".

#include <string>
#include <string_view>

#include "convert/bookmark_store.h"

namespace tamsel::test {

class RecordedEvents : public BookmarkEvents {
  public:
    void FolderOpened(std::string_view name) override {
        Add(std::string(name) + "{");
        ++depth;
        maxDepth = depth > maxDepth ? depth : maxDepth;
    }
    void FolderClosed() override {
        Add("}");
        --depth;
    }
    void Bookmark(std::string_view title, std::string_view url) override {
        Add(std::string(title) + "(" + std::string(url) + ")");
        ++bookmarks;
    }

    std::string text;
    int depth = 0;  // folders open now; below 0 when one closed that never opened
    int maxDepth = 0;
    int bookmarks = 0;

  private:
    void Add(const std::string& event) { text += (text.empty() ? "" : " ") + event; }
};

}  // namespace tamsel::test
