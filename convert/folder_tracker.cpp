#include "convert/folder_tracker.h"

#include <algorithm>
#include <array>
#include <utility>

#include "convert/markup_text.h"
#include "support/text.h"

namespace tamsel {

namespace {

enum class Tag { None, Heading, List, ListEnd, Anchor };

// Whether `rest` begins with the tag name `name` (any case) followed by its end: a blank,
// ">" or the end of the piece, so that "<DL>" is told from "<DLX>".
bool BeginsTag(std::string_view rest, std::string_view name) {
    return StartsWithIgnoringCase(rest, name) &&
           (rest.size() == name.size() || rest[name.size()] == ' ' || rest[name.size()] == '>');
}

Tag TagAt(std::string_view rest) {
    constexpr std::array<std::pair<std::string_view, Tag>, 3> kTags{{
        {"<H3", Tag::Heading},
        {"<DL", Tag::List},
        {"</DL", Tag::ListEnd},
    }};
    for (const auto& [name, tag] : kTags) {
        if (BeginsTag(rest, name)) {
            return tag;
        }
    }
    return StartsWithIgnoringCase(rest, "<A ") ? Tag::Anchor : Tag::None;
}

// Where "</H3" (any case) begins at or after `from`, or the end of the piece.
std::size_t HeadingEnd(std::string_view piece, std::size_t from) {
    const std::size_t hit = FindChunked(from + 1, piece, "</H3", CompareMode::Text);
    return hit == 0 ? piece.size() : hit - 1;
}

void AppendEscapedName(std::string_view name, std::string& path) {
    for (char c : name) {
        if (c == '\\' || c == '/') {
            path += '\\';
        }
        path += c;
    }
}

// The chosen path written as folder paths are: each name read from its escapes, trimmed,
// and escaped again.
std::string CanonicalPath(std::string_view chosen) {
    std::string path;
    std::string name;
    const auto endName = [&] {
        AppendEscapedName(TrimBlanks(name), path);
        name.clear();
    };
    for (std::size_t at = 0; at < chosen.size(); ++at) {
        const char c = chosen[at];
        if (c == '\\' && at + 1 < chosen.size() &&
            (chosen[at + 1] == '/' || chosen[at + 1] == '\\')) {
            name += chosen[++at];
        } else if (c == '/') {
            endName();
            path += '/';
        } else {
            name += c;
        }
    }
    endName();
    return path;
}

}  // namespace

FolderTracker::FolderTracker(std::string_view chosen)
    : chosen_(CanonicalPath(chosen)), narrowed_(!chosen.empty()) {}

void FolderTracker::Read(std::string_view piece) {
    for (std::size_t at = piece.find('<'); at != std::string_view::npos;
         at = piece.find('<', at + 1)) {
        const Tag tag = TagAt(piece.substr(at));
        if (tag == Tag::Heading) {
            const std::size_t textAt = piece.find('>', at);
            const std::size_t begin = textAt == std::string_view::npos ? piece.size() : textAt + 1;
            const std::size_t end = HeadingEnd(piece, begin);
            heading_ = DecodedHtmlText(TrimBlanks(piece.substr(begin, end - begin)));
            headingWaits_ = true;
            at = end == piece.size() ? end - 1 : end;
        } else if (tag == Tag::List) {
            Open();
        } else if (tag == Tag::ListEnd) {
            Close();
        } else if (tag == Tag::Anchor) {
            headingWaits_ = false;
        }
    }
}

void FolderTracker::Open() {
    if (!headingWaits_) {
        open_.push_back(kNesting);
        return;
    }
    headingWaits_ = false;
    ListFolder folder;
    const auto parent =
        std::find_if(open_.rbegin(), open_.rend(), [](std::size_t at) { return at != kNesting; });
    if (parent != open_.rend()) {
        folder.path = folders_[*parent].path + "/";
        folder.depth = folders_[*parent].depth + 1;
    }
    AppendEscapedName(heading_, folder.path);
    folder.name = heading_;
    open_.push_back(folders_.size());
    if (narrowed_ && !chosenFound_ && folder.path.size() == chosen_.size() &&
        StartsWithIgnoringCase(folder.path, chosen_)) {
        chosenFound_ = true;
        chosenLevel_ = open_.size();
    }
    folders_.push_back(std::move(folder));
}

void FolderTracker::Close() {
    if (open_.empty()) {
        return;
    }
    open_.pop_back();
    if (open_.size() < chosenLevel_) {
        chosenLevel_ = 0;
    }
}

bool FolderTracker::LinkFound() {
    for (std::size_t folder : open_) {
        if (folder != kNesting) {
            ++folders_[folder].links;
        }
    }
    return !narrowed_ || chosenLevel_ != 0;
}

}  // namespace tamsel
