// A Chromium-family "Bookmarks" file, whole, through the reader of browsers' JSON stores.

#include <cstdint>
#include <string_view>

#include "convert/bookmark_store.h"
#include "convert/chromium_store.h"
#include "fuzz_input.h"
#include "fuzz_targets.h"

namespace tamsel::fuzz {

namespace {

// Whether `text` is well-formed UTF-8: a run takes names and titles into the menu as they
// come, so the reader must never hand on bytes that the JSON did not hold as text.
bool IsUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead < 0x80   ? 1
                                   : lead < 0xc2 ? 0
                                   : lead < 0xe0 ? 2
                                   : lead < 0xf0 ? 3
                                   : lead < 0xf5 ? 4
                                                 : 0;
        if (length == 0 || at + length > text.size()) {
            return false;
        }
        for (std::size_t i = 1; i < length; ++i) {
            if ((static_cast<unsigned char>(text[at + i]) & 0xc0) != 0x80) {
                return false;
            }
        }
        at += length;
    }
    return true;
}

// Checks that the calls nest like brackets and carry well-formed texts.
class CheckedEvents : public BookmarkEvents {
  public:
    void FolderOpened(std::string_view name) override {
        Expect(IsUtf8(name), "a folder name that is no UTF-8");
        ++open;
        ++calls;
    }
    void FolderClosed() override {
        Expect(open > 0, "a folder closed that never opened");
        --open;
        ++calls;
    }
    void Bookmark(std::string_view title, std::string_view url) override {
        Expect(open > 0, "a bookmark outside every folder");
        Expect(IsUtf8(title) && IsUtf8(url), "a bookmark that is no UTF-8");
        ++calls;
    }

    long open = 0;
    long calls = 0;
};

}  // namespace

int FuzzChromiumStore(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckedEvents events;
    const StoreStatus status = ReadChromiumStore(text, events);
    Expect(status == StoreStatus::Read || status == StoreStatus::NotAStore ||
               status == StoreStatus::Damaged || status == StoreStatus::OtherVersion,
           "a status the JSON reader never gives");
    Expect(status == StoreStatus::Read || events.calls == 0,
           "events from a text that was not read as a store");
    Expect(events.open == 0, "a folder left open");
    Expect(status == StoreStatus::NotAStore || StoreKindOf(text) == StoreKind::Chromium,
           "a store that does not begin as one");
    return 0;
}

}  // namespace tamsel::fuzz

TAMSEL_FUZZ_ENTRY(tamsel::fuzz::FuzzChromiumStore)
