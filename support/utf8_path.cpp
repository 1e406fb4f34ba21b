#include "support/utf8_path.h"

namespace tamsel {

bool IsPassablePath(std::string_view path) {
    return !path.empty() && path.find('\0') == std::string_view::npos;
}

}  // namespace tamsel
