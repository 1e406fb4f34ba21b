#pragma once

// Filling an item template's placeholders with one link's values.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "convert/link_record.h"

namespace tamsel {

// The template with every "#LINKID#", "#LINKTITLE#", "#LINKINFO#", "#LINKIMG#" and
// "#LINKURL#" replaced, in that order, by the record's Id, Title, Info, Image and Url (only
// "#LINKID#" when `idOnly`), each escaped for XML as it goes in (xml_escape.h) so that the
// menu stays well-formed. Each replacement works on the result of the one before, so a
// title that holds "#LINKURL#" ends up holding the (escaped) address.
std::string FillTemplate(std::string_view text, const LinkRecord& record, bool idOnly);

// A template prepared once for many links: split where its placeholders are, so that
// filling it appends pieces instead of searching the whole template once per placeholder.
class PreparedTemplate {
  public:
    PreparedTemplate(std::string text, bool idOnly);

    // Appends FillTemplate(text, record, idOnly) to `out`.
    void AppendFilled(const LinkRecord& record, std::string& out) const;

    // Whether fills append pieces (true for templates whose placeholders stand apart, as
    // they usually do) rather than take the plain way every time.
    bool splits() const { return splits_; }

  private:
    static constexpr int kText = -1;  // a piece of template text rather than a value

    struct Piece {
        int field;  // which value, or kText
        std::size_t offset;
        std::size_t length;
    };

    void Split();
    bool ReachesHashOrValue(std::size_t slot, bool leftwards) const;
    bool PiecesHoldFor(const LinkRecord& record) const;

    std::string text_;
    bool idOnly_;
    std::vector<Piece> pieces_;
    bool splits_ = false;
};

// The three templates of a list, prepared.
struct PreparedTemplates {
    explicit PreparedTemplates(const ItemTemplates& templates);

    PreparedTemplate Query;
    PreparedTemplate Image;
    PreparedTemplate NoImage;
};

}  // namespace tamsel
