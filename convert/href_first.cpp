#include "convert/href_first.h"

#include "convert/link_parser.h"
#include "support/text.h"

namespace tamsel {

bool MoveHrefFirst(std::string_view line, std::string& out) {
    constexpr std::string_view kAnchor = "<DT><A ";
    constexpr std::string_view kHref = " HREF=\"";
    // Every piece comes here, and most are bookmark lines with HREF first.
    if (!line.starts_with('<') || StartsWithIgnoringCase(line, kBookmarkStart) ||
        !StartsWithIgnoringCase(line, kAnchor)) {
        return false;
    }
    const std::size_t behindA = kAnchor.size() - 1;  // the blank after "<A"
    bool quoted = false;
    for (std::size_t at = behindA; at < line.size(); ++at) {
        if (!quoted && StartsWithIgnoringCase(line.substr(at), kHref)) {
            const std::size_t close = line.find('"', at + kHref.size());
            if (close == std::string_view::npos) {
                return false;
            }
            out.assign(line.substr(0, behindA))
                .append(line.substr(at, close + 1 - at))
                .append(line.substr(behindA, at - behindA))
                .append(line.substr(close + 1));
            return true;
        }
        if (line[at] == '"') {
            quoted = !quoted;
        } else if (!quoted && line[at] == '>') {
            return false;
        }
    }
    return false;
}

}  // namespace tamsel
