#include "convert/template_fill.h"

#include <array>
#include <utility>

#include "convert/markup_text.h"

namespace tamsel {

namespace {

constexpr std::array<std::string_view, 5> kPlaceholders = {
    "#LINKID#", "#LINKTITLE#", "#LINKINFO#", "#LINKIMG#", "#LINKURL#",
};
constexpr int kIdField = 0;

// The value of each placeholder, in kPlaceholders' order.
constexpr std::array<std::string LinkRecord::*, 5> kFields = {
    &LinkRecord::Id, &LinkRecord::Title, &LinkRecord::Info, &LinkRecord::Image, &LinkRecord::Url,
};

const std::string& Value(const LinkRecord& record, int field) {
    return record.*kFields[static_cast<std::size_t>(field)];
}

// The placeholder that begins `text`, or -1. No placeholder is the start of another, so at
// most one can begin at any place.
int PlaceholderAtStart(std::string_view text, bool idOnly) {
    const int fields = idOnly ? 1 : static_cast<int>(kPlaceholders.size());
    for (int field = 0; field < fields; ++field) {
        if (text.starts_with(kPlaceholders[field])) {
            return field;
        }
    }
    return -1;
}

}  // namespace

std::string FillTemplate(std::string_view text, const LinkRecord& record, bool idOnly) {
    std::string filled;
    PreparedTemplate(std::string(text), idOnly).AppendFilled(record, filled);
    return filled;
}

PreparedTemplate::PreparedTemplate(std::string text, bool idOnly) : text_(std::move(text)) {
    const std::string_view scanned = text_;
    const auto addText = [this](std::size_t offset, std::size_t length) {
        if (length > 0) {
            pieces_.push_back(Piece{kText, offset, length});
        }
    };
    std::size_t plain = 0;
    for (std::size_t at = scanned.find('#'); at != std::string_view::npos;
         at = scanned.find('#', at + 1)) {
        const int field = PlaceholderAtStart(scanned.substr(at), idOnly);
        if (field >= 0) {
            addText(plain, at - plain);
            pieces_.push_back(Piece{field, 0, 0});
            holdsId_ = holdsId_ || field == kIdField;
            plain = at + kPlaceholders[field].size();
            at = plain - 1;  // the scan goes on behind the placeholder
        }
    }
    addText(plain, scanned.size() - plain);
}

void PreparedTemplate::AppendFilled(const LinkRecord& record, std::string& out) const {
    for (const Piece& piece : pieces_) {
        if (piece.field == kText) {
            out.append(text_, piece.offset, piece.length);
        } else {
            AppendXmlEscaped(Value(record, piece.field), out);
        }
    }
}

PreparedTemplates::PreparedTemplates(const ItemTemplates& templates)
    : Query(templates.Query, true),
      Image(templates.Image, false),
      NoImage(templates.NoImage, false) {}

}  // namespace tamsel
