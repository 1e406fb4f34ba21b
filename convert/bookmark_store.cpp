#include "convert/bookmark_store.h"

#include "support/text_decoder.h"

namespace tamsel {

StoreKind StoreKindOf(std::string_view head) {
    constexpr std::string_view kSqliteHeader{"SQLite format 3\0", 16};
    constexpr std::string_view kJsonWhitespace = " \t\r\n";
    if (head.starts_with(kSqliteHeader)) {
        return StoreKind::Places;
    }
    head = WithoutUtf8Mark(head);
    const std::size_t first = head.find_first_not_of(kJsonWhitespace);
    return first != std::string_view::npos && head[first] == '{' ? StoreKind::Chromium
                                                                 : StoreKind::None;
}

std::string_view StoreProblemMessage(StoreStatus status) {
    switch (status) {
        case StoreStatus::Read:
        case StoreStatus::NotAStore:
            return {};
        case StoreStatus::Damaged:
            return kDamagedStoreMessage;
        case StoreStatus::OtherVersion:
            return kOtherVersionStoreMessage;
        case StoreStatus::Unreadable:
            return kUnreadableStoreMessage;
        case StoreStatus::NotSupported:
            return kPlacesOnWindowsMessage;
    }
    return kUnreadableStoreMessage;
}

}  // namespace tamsel
