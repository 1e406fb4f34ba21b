#include "window/folder_listings.h"

#include <algorithm>
#include <memory>

#include "window/case_fold.h"

namespace tamsel {

namespace {

// Bytes taken by the character that starts at `at`: a lead byte and its continuation
// bytes, so that "?" and "*" never split a UTF-8 sequence.
std::size_t CharacterLength(std::string_view text, std::size_t at) {
    std::size_t length = 1;
    while (at + length < text.size() &&
           (static_cast<unsigned char>(text[at + length]) & 0xC0) == 0x80) {
        ++length;
    }
    return length;
}

// Whether the characters at `n` of the name and `p` of the pattern are one letter in any
// case; if so, moves both past it. A letter and its folded form may differ in length.
bool SameLetter(std::string_view name, std::size_t& n, std::string_view pattern, std::size_t& p) {
    const auto x = static_cast<unsigned char>(name[n]);
    const auto y = static_cast<unsigned char>(pattern[p]);
    if ((x | y) < 0x80) {  // both ASCII, the common case, without decoding
        const bool same =
            x == y || ((x | 0x20) == (y | 0x20) && (x | 0x20) >= 'a' && (x | 0x20) <= 'z');
        n += same ? 1 : 0;
        p += same ? 1 : 0;
        return same;
    }
    const FoldedCharacter inName = FoldedCharacterAt(name, n);
    const FoldedCharacter inPattern = FoldedCharacterAt(pattern, p);
    if (inName.folded != inPattern.folded) {
        return false;
    }
    n += inName.length;
    p += inPattern.length;
    return true;
}

// Whole-name match with backtracking to the last "*" only, which is enough because a
// later "*" can absorb whatever an earlier one would have: linear in practice.
bool MatchesWhole(std::string_view name, std::string_view pattern) {
    constexpr auto kNone = std::string_view::npos;
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starPattern = kNone;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = ++p;
            starName = n;
        } else if (p < pattern.size() && pattern[p] == '?') {
            n += CharacterLength(name, n);
            ++p;
        } else if (p < pattern.size() && SameLetter(name, n, pattern, p)) {
            continue;  // both moved past the letter
        } else if (starPattern != kNone) {
            starName += CharacterLength(name, starName);
            n = starName;
            p = starPattern;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

// Whether `name` begins with `prefix` in any letter case; `prefix` holds no wildcard.
bool StartsWithLetters(std::string_view name, std::string_view prefix) {
    std::size_t n = 0;
    std::size_t p = 0;
    while (p < prefix.size()) {
        if (n == name.size() || !SameLetter(name, n, prefix, p)) {
            return false;
        }
    }
    return true;
}

bool Selected(const ListedEntry& entry, unsigned attributes, std::string_view namePattern) {
    const unsigned special = entry.attributes & (kListHidden | kListSystem | kListFolder);
    return (special & ~attributes) == 0 && MatchesListingPattern(entry.name, namePattern);
}

}  // namespace

bool MatchesListingPattern(std::string_view name, std::string_view pattern) {
    // A completion lists what was typed followed by "*.*", which matches every name that
    // begins with the typed text: the one comparison a name needs in a folder of many.
    const std::string_view typed =
        pattern.substr(0, pattern.size() - std::min<std::size_t>(3, pattern.size()));
    if (pattern.ends_with("*.*") && typed.find_first_of("*?") == std::string_view::npos) {
        return StartsWithLetters(name, typed);
    }
    if (MatchesWhole(name, pattern)) {
        return true;
    }
    return pattern.ends_with(".*") && MatchesWhole(name, pattern.substr(0, pattern.size() - 2));
}

void FolderListings::List(std::string_view pattern, unsigned attributes,
                          std::vector<std::string>& names) {
    const std::string folderPart = ListingFolderPart(pattern);
    const std::string_view namePattern = pattern.substr(folderPart.size());
    const std::vector<ListedEntry>* entries = namePattern.empty() ? nullptr : EntriesOf(folderPart);
    std::size_t count = 0;
    if (entries != nullptr) {
        for (const ListedEntry& entry : *entries) {
            if (!Selected(entry, attributes, namePattern)) {
                continue;
            }
            // Assigned in place, into the strings the last listing left: a completion lists
            // a large folder on every key, and fresh memory costs more than the matching.
            if (count < names.size()) {
                names[count].assign(entry.name);
            } else {
                names.push_back(entry.name);
            }
            ++count;
        }
    }
    names.resize(count);
}

const std::vector<ListedEntry>* FolderListings::EntriesOf(const std::string& folderPart) {
    const std::optional<FolderStamp> stamp = StampFolder(folderPart);
    if (!stamp) {
        return nullptr;
    }
    auto kept = std::find_if(kept_.begin(), kept_.end(), [&](const Kept& listing) {
        return listing.current && listing.stamp == *stamp;
    });
    if (kept == kept_.end()) {
        kept = std::min_element(kept_.begin(), kept_.end(),
                                [](const Kept& a, const Kept& b) { return a.lastUse < b.lastUse; });
        // Stamped before reading, so that a change while reading dates the folder anew.
        const bool settled = stamp->changed + settle_ < std::chrono::system_clock::now();
        kept->current = ReadFolder(folderPart, kept->entries) && settled;
        kept->stamp = *stamp;
    }
    // A listing that cannot be kept goes first when another is read.
    kept->lastUse = kept->current ? ++uses_ : 0;
    return &kept->entries;
}

FolderLister KeepingLister() {
    auto listings = std::make_shared<FolderListings>();
    return
        [listings](std::string_view pattern, unsigned attributes, std::vector<std::string>& names) {
            listings->List(pattern, attributes, names);
        };
}

}  // namespace tamsel
