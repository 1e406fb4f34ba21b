#pragma once

// The values a link list is turned into: the link being collected and the templates its
// menu entries are made from.

#include <functional>
#include <string>
#include <string_view>

namespace tamsel {

// The link being collected across lines.
struct LinkRecord {
    std::string Id;     // Title without blanks; set when the link is emitted
    std::string Title;  //
    std::string Info;   // text after the first ";" of a title line
    std::string Image;  // icon file name written into the item entry; set when emitted
    std::string Url;    //
};

// Tells whether a link's own icon exists (a readable file with content).
using IconProbe = std::function<bool(const std::string& path)>;

// What became of one link of a list.
struct LinkDecision {
    bool added = false;   // false: its entries are in the menu already, so it was skipped
    std::string_view id;  // the id it got; for a skipped link, its id without a suffix
    std::string_view title;
    std::string_view url;
};

// Hears of each link of a list as it is decided, in list order.
using DecisionProbe = std::function<void(const LinkDecision&)>;

// The three templates; read only while a list is parsed.
struct ItemTemplates {
    std::string Query;    // filled with #LINKID# only
    std::string Image;    // used when the link has an icon (its own or the fallback)
    std::string NoImage;  // used otherwise
};

}  // namespace tamsel
