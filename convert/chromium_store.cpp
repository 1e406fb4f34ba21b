#include "convert/chromium_store.h"

#include <nlohmann/json.hpp>

#include <array>
#include <string>

namespace tamsel {

namespace {

using Json = nlohmann::json;

struct Root {
    const char* key;
    std::string_view defaultName;
};

constexpr std::array<Root, 3> kRoots{{
    {"bookmark_bar", "Bookmarks bar"},
    {"other", "Other bookmarks"},
    {"synced", "Mobile bookmarks"},
}};

// The member `key` of the object `node` when it is a text; empty otherwise.
std::string_view TextMember(const Json& node, const char* key) {
    const auto member = node.find(key);
    const std::string* text =
        member == node.end() ? nullptr : member->get_ptr<const std::string*>();
    return text != nullptr ? std::string_view(*text) : std::string_view();
}

// The children of a folder node when they are an array; none otherwise.
const Json& ChildrenOf(const Json& folder) {
    static const Json kNone = Json::array();
    const auto children = folder.find("children");
    return children != folder.end() && children->is_array() ? *children : kNone;
}

// Tells `events` of one node of a folder; the children of a folder node, else nullptr.
const Json* VisitNode(const Json& node, BookmarkEvents& events) {
    const std::string_view type = node.is_object() ? TextMember(node, "type") : "";
    if (type == "url") {
        const auto url = node.find("url");
        if (url != node.end() && url->is_string()) {
            events.Bookmark(TextMember(node, "name"), url->get_ref<const std::string&>());
        }
    } else if (type == "folder") {
        events.FolderOpened(TextMember(node, "name"));
        return &ChildrenOf(node);
    }
    return nullptr;
}

// Keeps, of every object, only the members read below: a store's dates, ids, meta_info and
// sync data make up most of it, and a parsed member costs far more than a skipped one.
bool KeepsMember(int /*depth*/, nlohmann::json::parse_event_t event, Json& parsed) {
    if (event != nlohmann::json::parse_event_t::key) {
        return true;
    }
    const std::string& key = parsed.get_ref<const std::string&>();
    return key == "children" || key == "type" || key == "name" || key == "url" || key == "roots" ||
           key == "bookmark_bar" || key == "other" || key == "synced";
}

// Whether a text that is no store's JSON was meant to be one, so that a run names the fault
// rather than reading the JSON as lines.
bool LooksLikeStore(std::string_view text) {
    return StoreKindOf(text) == StoreKind::Chromium &&
           text.find("\"roots\"") != std::string_view::npos;
}

}  // namespace

StoreStatus ReadChromiumStore(std::string_view text, BookmarkEvents& events) {
    // Parsing without exceptions turns every fault of the text into a discarded value.
    const Json store = Json::parse(text.begin(), text.end(), KeepsMember, false);
    if (store.is_discarded()) {
        return LooksLikeStore(text) ? StoreStatus::Damaged : StoreStatus::NotAStore;
    }
    const auto roots = store.is_object() ? store.find("roots") : store.end();
    if (roots == store.end()) {
        return StoreStatus::NotAStore;
    }
    if (!roots->is_object()) {
        return StoreStatus::OtherVersion;
    }
    for (const Root& root : kRoots) {
        const auto folder = roots->find(root.key);
        if (folder == roots->end() || !folder->is_object() ||
            TextMember(*folder, "type") != "folder") {
            continue;
        }
        const std::string_view name = TextMember(*folder, "name");
        WalkFolders(
            name.empty() ? root.defaultName : name, ChildrenOf(*folder),
            [&events](const Json& node) { return VisitNode(node, events); }, events);
    }
    return StoreStatus::Read;
}

}  // namespace tamsel
