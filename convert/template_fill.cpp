#include "convert/template_fill.h"

#include <array>
#include <utility>

#include "convert/xml_escape.h"
#include "support/text.h"

namespace tamsel {

namespace {

constexpr std::array<std::string_view, 5> kPlaceholders = {
    "#LINKID#", "#LINKTITLE#", "#LINKINFO#", "#LINKIMG#", "#LINKURL#",
};
constexpr std::size_t kLongestName = 9;  // the capitals between the "#" of "#LINKTITLE#"

const std::string& Value(const LinkRecord& record, int field) {
    switch (field) {
        case 0:
            return record.Id;
        case 1:
            return record.Title;
        case 2:
            return record.Info;
        case 3:
            return record.Image;
        default:
            return record.Url;
    }
}

int FieldCount(bool idOnly) {
    return idOnly ? 1 : static_cast<int>(kPlaceholders.size());
}

}  // namespace

std::string FillTemplate(std::string_view text, const LinkRecord& record, bool idOnly) {
    std::string filled(text);
    for (int field = 0; field < FieldCount(idOnly); ++field) {
        filled = ReplaceText(filled, kPlaceholders[field], XmlEscaped(Value(record, field)));
    }
    return filled;
}

PreparedTemplate::PreparedTemplate(std::string text, bool idOnly)
    : text_(std::move(text)), idOnly_(idOnly) {
    Split();
}

void PreparedTemplate::AppendFilled(const LinkRecord& record, std::string& out) const {
    if (!splits_ || !PiecesHoldFor(record)) {
        out += FillTemplate(text_, record, idOnly_);
        return;
    }
    for (const Piece& piece : pieces_) {
        if (piece.field == kText) {
            out.append(text_, piece.offset, piece.length);
        } else {
            AppendXmlEscaped(Value(record, piece.field), out);
        }
    }
}

// Replays the replacements on the template with each value an opaque piece. The pieces
// give the plain result for every record whose values hold no "#", as long as no
// placeholder can form across a value once it is in place: a placeholder is a "#",
// capital letters and a "#", so a value is safe when on at least one side the template
// text beside it meets something else before it meets a "#" or another value. Escaping
// adds no "#" and no capital letter to a value, so it leaves this reasoning as it is.
void PreparedTemplate::Split() {
    pieces_ = {Piece{kText, 0, text_.size()}};
    for (int field = 0; field < FieldCount(idOnly_); ++field) {
        const std::string_view placeholder = kPlaceholders[field];
        std::vector<Piece> next;
        for (const Piece& piece : pieces_) {
            if (piece.field != kText) {
                next.push_back(piece);
                continue;
            }
            const std::string_view text =
                std::string_view(text_).substr(piece.offset, piece.length);
            std::size_t from = 0;
            for (std::size_t hit = text.find(placeholder); hit != std::string_view::npos;
                 hit = text.find(placeholder, from)) {
                next.push_back(Piece{kText, piece.offset + from, hit - from});
                next.push_back(Piece{field, 0, 0});
                from = hit + placeholder.size();
            }
            next.push_back(Piece{kText, piece.offset + from, text.size() - from});
        }
        pieces_ = std::move(next);
    }
    splits_ = true;
    for (std::size_t i = 0; i < pieces_.size() && splits_; ++i) {
        splits_ = pieces_[i].field == kText || !ReachesHashOrValue(i, true) ||
                  !ReachesHashOrValue(i, false);
    }
}

// Whether the template text beside the value at `slot`, read away from it, reaches a "#"
// or another value through no more capital letters than a placeholder holds.
bool PreparedTemplate::ReachesHashOrValue(std::size_t slot, bool leftwards) const {
    std::size_t letters = 0;
    for (std::size_t i = slot; leftwards ? i-- > 0 : ++i < pieces_.size();) {
        const Piece& piece = pieces_[i];
        if (piece.field != kText) {
            return true;
        }
        for (std::size_t k = 0; k < piece.length; ++k) {
            const char c =
                text_[leftwards ? piece.offset + piece.length - 1 - k : piece.offset + k];
            if (c == '#') {
                return true;
            }
            if (c < 'A' || c > 'Z' || ++letters > kLongestName) {
                return false;
            }
        }
    }
    return false;
}

bool PreparedTemplate::PiecesHoldFor(const LinkRecord& record) const {
    for (int field = 0; field < FieldCount(idOnly_); ++field) {
        if (Value(record, field).find('#') != std::string::npos) {
            return false;
        }
    }
    return true;
}

PreparedTemplates::PreparedTemplates(const ItemTemplates& templates)
    : Query(templates.Query, true),
      Image(templates.Image, false),
      NoImage(templates.NoImage, false) {}

}  // namespace tamsel
