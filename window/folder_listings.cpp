#include "window/folder_listings.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <memory>

#include "window/edit_state.h"

namespace tamsel {

namespace {

struct FoldRun {
    char32_t first;
    char32_t last;
    std::int32_t offset;
    std::uint8_t stride;
};

constexpr FoldRun kFoldRuns[] = {
#include "window/case_fold_table.inc"
};

// A character case-folded and its bytes. A byte that starts no valid sequence stands for
// itself, as a value above every code point.
struct FoldedCharacter {
    char32_t folded = 0;
    std::size_t length = 1;
};

constexpr char32_t kInvalidByte = 0x110000;

FoldedCharacter FoldedCharacterAt(std::string_view text, std::size_t at) {
    static constexpr std::array<char32_t, 5> kSmallest{0, 0, 0x80, 0x800, 0x10000};
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) {
        return {lead >= 'A' && lead <= 'Z' ? char32_t(lead + ('a' - 'A')) : char32_t(lead), 1};
    }
    const FoldedCharacter invalid{kInvalidByte + lead, 1};
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (lead < 0xC0 || lead >= 0xF8 || at + length > text.size()) {
        return invalid;
    }
    char32_t code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[at + i]);
        if ((byte & 0xC0) != 0x80) {
            return invalid;
        }
        code = (code << 6) | (byte & 0x3F);
    }
    // Overlong forms, surrogates and values beyond Unicode are no characters either.
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return invalid;
    }
    return {FoldCase(code), length};
}

// Whether name[n] and pattern[p] are one letter in any case; if so, moves both past it
// (a letter and its folded form may differ in length).
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

// Backtracking to the last "*" only is enough, a later "*" absorbing whatever an earlier
// one would have: linear in practice.
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

char32_t FoldCase(char32_t c) {
    const FoldRun* run =
        std::upper_bound(std::begin(kFoldRuns), std::end(kFoldRuns), c,
                         [](char32_t code, const FoldRun& r) { return code < r.first; });
    if (run == std::begin(kFoldRuns)) {
        return c;
    }
    --run;
    if (c > run->last || (run->stride == 2 && (c - run->first) % 2 != 0)) {
        return c;
    }
    return static_cast<char32_t>(static_cast<std::int32_t>(c) + run->offset);
}

bool MatchesListingPattern(std::string_view name, std::string_view pattern) {
    // A completion lists the typed text + "*.*": a name needs one comparison, with a prefix.
    const std::string_view typed =
        pattern.substr(0, pattern.size() - std::min<std::size_t>(3, pattern.size()));
    if (pattern.ends_with("*.*") && typed.find_first_of("*?") == std::string_view::npos) {
        return StartsWithLetters(name, typed);
    }
    return MatchesWhole(name, pattern) ||
           (pattern.ends_with(".*") && MatchesWhole(name, pattern.substr(0, pattern.size() - 2)));
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
            // Into the last listing's strings: a completion lists a large folder on every
            // key, and fresh memory costs more than the matching.
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
        kept = std::ranges::min_element(kept_, {}, &Kept::lastUse);
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
