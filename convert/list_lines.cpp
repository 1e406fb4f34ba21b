#include "convert/list_lines.h"

#include <array>

#include "convert/bookmark_store.h"
#include "convert/chromium_store.h"
#include "convert/places_store.h"

namespace tamsel {

namespace {

// A title's or a folder name's escapes; an address, inside HREF's quotes, escapes only '"'.
constexpr std::string_view kTextEscapes = "&<>\"'";

// Appends `text` to `line` with each of `escaped` written as Chromium's exporter does.
void AppendEscaped(std::string_view text, std::string_view escaped, std::string& line) {
    constexpr std::array<std::string_view, 5> kReferences = {"&amp;", "&lt;", "&gt;", "&quot;",
                                                             "&#39;"};
    for (const char c : text) {
        if (c == '\r' || c == '\n') {
            line += ' ';
        } else if (escaped.find(c) != std::string_view::npos) {
            line += kReferences[kTextEscapes.find(c)];
        } else {
            line += c;
        }
    }
}

// Hands `onLine` one export line per event, as Chromium's exporter writes them (without
// their indentation): a folder "<DT><H3>name</H3>" and "<DL><p>", its end "</DL><p>"; a
// bookmark "<DT><A HREF=\"url\" ADD_DATE=\"0\">title</A>". Texts are escaped as Chromium does
// ("&", "<", ">", '"' and "'" as "&amp;", "&lt;", "&gt;", "&quot;" and "&#39;"; in an address
// only '"'), and a CR or LF becomes a blank: a store's title is one line wherever it shows.
class StoreExportLines final : public BookmarkEvents {
  public:
    explicit StoreExportLines(const LineHandler& onLine) : onLine_(onLine) {}

    void FolderOpened(std::string_view name) override;
    void FolderClosed() override;
    void Bookmark(std::string_view title, std::string_view url) override;

  private:
    const LineHandler& onLine_;
    std::string line_;  // reused from line to line
};

void StoreExportLines::FolderOpened(std::string_view name) {
    line_ = "<DT><H3>";
    AppendEscaped(name, kTextEscapes, line_);
    line_ += "</H3>";
    onLine_(line_);
    onLine_("<DL><p>");
}

void StoreExportLines::FolderClosed() {
    onLine_("</DL><p>");
}

void StoreExportLines::Bookmark(std::string_view title, std::string_view url) {
    line_ = "<DT><A HREF=\"";
    AppendEscaped(url, "\"", line_);
    line_ += "\" ADD_DATE=\"0\">";
    AppendEscaped(title, kTextEscapes, line_);
    line_ += "</A>";
    onLine_(line_);
}

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
