#include "convert/list_lines.h"

#include "convert/bookmark_store.h"
#include "convert/chromium_store.h"
#include "convert/places_store.h"
#include "convert/store_export_lines.h"

namespace tamsel {

namespace {

// The store's lines; NotAStore when the file is no store of its kind after all.
StoreStatus ReadStoreLines(StoreKind kind, const std::string& path, FileSystem& files,
                           const LineHandler& onLine) {
    StoreExportLines lines(onLine);
    if (kind == StoreKind::Places) {
        return ReadPlacesStore(path, lines);
    }
    const std::optional<std::string> text = files.ReadWhole(path);
    return text ? ReadChromiumStore(*text, lines) : StoreStatus::Unreadable;
}

}  // namespace

std::optional<std::string_view> ReadListLines(const std::string& path, FileSystem& files,
                                              const LineHandler& onLine) {
    const std::optional<std::string> head = files.ReadHead(path, kStoreHeadSize);
    const StoreKind kind = head ? StoreKindOf(*head) : StoreKind::None;
    if (kind != StoreKind::None) {
        const StoreStatus status = ReadStoreLines(kind, path, files, onLine);
        if (status == StoreStatus::Read) {
            return std::nullopt;
        }
        if (status != StoreStatus::NotAStore) {
            return StoreProblemMessage(status);
        }
    }
    if (!files.ReadLines(path, onLine)) {
        return kListMessage;
    }
    return std::nullopt;
}

}  // namespace tamsel
