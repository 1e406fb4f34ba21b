#pragma once

// Filling an item template's placeholders with one link's values.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "convert/link_record.h"

namespace tamsel {

// The template filled in one pass from left to right: wherever "#LINKID#", "#LINKTITLE#",
// "#LINKINFO#", "#LINKIMG#" or "#LINKURL#" begins (only "#LINKID#" when `idOnly`), the record's
// Id, Title, Info, Image or Url goes in, escaped for XML (markup_text.h). A value is never
// scanned again: a title that holds "#LINKURL#" keeps it as written.
std::string FillTemplate(std::string_view text, const LinkRecord& record, bool idOnly);

// A template split once where its placeholders are, so that filling it for each of many links
// appends pieces instead of searching the template.
class PreparedTemplate {
  public:
    PreparedTemplate(std::string text, bool idOnly);

    // Appends FillTemplate(text, record, idOnly) to `out`.
    void AppendFilled(const LinkRecord& record, std::string& out) const;

    bool HoldsId() const { return holdsId_; }

  private:
    static constexpr int kText = -1;  // a piece of template text rather than a value

    struct Piece {
        int field;  // which value, or kText
        std::size_t offset;
        std::size_t length;
    };

    std::string text_;
    std::vector<Piece> pieces_;
    bool holdsId_ = false;
};

struct PreparedTemplates {
    explicit PreparedTemplates(const ItemTemplates& templates);

    PreparedTemplate Query;
    PreparedTemplate Image;
    PreparedTemplate NoImage;
};

}  // namespace tamsel
