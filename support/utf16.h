#pragma once

// UTF-8 texts as Windows' wide calls take and give them (UTF-16), paths included
// (WidenPath in utf8_path.h builds on these). Windows builds only.

#ifdef _WIN32

#include <string>
#include <string_view>

namespace tamsel {

// The UTF-16 form of a UTF-8 text, embedded NULs included (the open-file dialog's filter
// list is made of them). Invalid sequences become U+FFFD.
std::wstring Widen(std::string_view utf8);

// The UTF-8 form of a UTF-16 text, embedded NULs included; unpaired surrogates give U+FFFD.
std::string Narrow(std::wstring_view wide);

}  // namespace tamsel

#endif  // _WIN32
