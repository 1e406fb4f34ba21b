#include "window/path_completion.h"

#include <algorithm>

#include "window/virtual_keys.h"

namespace tamsel {

namespace {

constexpr int kShortestTyped = 3;
constexpr int kLongestTyped = 249;

std::optional<std::string> TypedText(const EditState& box, int keyCode, int shift) {
    if (!StartsCompletion(keyCode, shift)) {
        return std::nullopt;
    }
    const int length = Utf16Length(box.text);
    if (box.selStart < length || length < kShortestTyped || length > kLongestTyped) {
        return std::nullopt;
    }
    return box.text;
}

EditState WriteBack(const std::string& typed, const std::string& suggestion, int keyCode) {
    if (keyCode == vk::kBackslash || suggestion.empty()) {
        return CaretAtEnd(typed);
    }
    const int length = Utf16Length(suggestion);
    // A wildcard can make the suggestion shorter than what was typed.
    const int typedPart = std::min(Utf16Length(typed), length);
    if (suggestion == typed || typedPart == length) {
        return CaretAtEnd(suggestion);
    }
    return {suggestion, typedPart, length - typedPart};
}

// A folder can hold names that differ only in case (Links.xml and links.xml): typing one
// exactly must not turn the box into its twin.
std::string Suggestion(const CompletionEntries& entries, const std::string& typed) {
    if (entries.empty()) {
        return {};
    }
    // Every entry begins with the folder part, which is taken from the typed text itself.
    const std::string_view typedName = std::string_view(typed).substr(entries.folderPart.size());
    const auto exact =
        std::find_if(entries.names.begin(), entries.names.end(),
                     [typedName](const std::string& name) { return name.starts_with(typedName); });
    return exact != entries.names.end() ? entries.folderPart + *exact : entries[0];
}

}  // namespace

bool StartsCompletion(int keyCode, int shift) {
    return keyCode == vk::kPeriod || keyCode == vk::kBackslash ||
           (keyCode >= vk::kFirstLetter && keyCode <= vk::kLastLetter) ||
           (keyCode >= vk::kFirstDigit && keyCode <= vk::kLastDigit && shift == 0);
}

bool AutoComplete(const EditState& box, int keyCode, int shift, Completion& completion,
                  const FolderLister& list) {
    const std::optional<std::string> typed = TypedText(box, keyCode, shift);
    if (!typed) {
        return false;
    }
    CompletionEntries& entries = completion.entries;
    entries.folderPart = ListingFolderPart(*typed);
    entries.labels.clear();
    list(*typed + "*.*", kListEverything, entries.names);
    // Only the dot entries that lead the listing are skipped, as the listing gives them.
    const auto first =
        std::find_if(entries.names.begin(), entries.names.end(),
                     [](const std::string& name) { return name != "." && name != ".."; });
    entries.names.erase(entries.names.begin(), first);
    completion.edit = WriteBack(*typed, Suggestion(entries, *typed), keyCode);
    return true;
}

std::optional<int> WalkRow(int keyCode, int currentRow, int rows, int visibleRows) {
    if (rows <= 0) {
        return std::nullopt;
    }
    const int page = std::max(1, visibleRows - 1);
    int row = currentRow;
    switch (keyCode) {
        case vk::kUp:
            row = currentRow - 1;
            break;
        case vk::kDown:
            row = currentRow + 1;
            break;
        case vk::kPageUp:
            row = currentRow - page;
            break;
        case vk::kPageDown:
            row = currentRow + page;
            break;
        default:
            return std::nullopt;
    }
    return std::clamp(row, 0, rows - 1);
}

}  // namespace tamsel
