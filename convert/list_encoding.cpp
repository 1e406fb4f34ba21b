#include "convert/list_encoding.h"

#include <algorithm>
#include <optional>

#include "support/text.h"
#include "support/text_decoder.h"
#include "support/utf8_repair.h"

namespace tamsel {

namespace {

bool EqualsIgnoringCase(std::string_view text, std::string_view other) {
    return text.size() == other.size() && StartsWithIgnoringCase(text, other);
}

bool NamesUtf8(std::string_view label) {
    return EqualsIgnoringCase(label, "utf-8") || EqualsIgnoringCase(label, "utf8");
}

constexpr std::string_view kXmlSpace = " \t\r\n";

bool IsXmlSpace(char c) {
    return kXmlSpace.find(c) != std::string_view::npos;
}

std::size_t SkipXmlSpace(std::string_view text, std::size_t at) {
    return std::min(text.find_first_not_of(kXmlSpace, at), text.size());
}

// The value of the declaration's encoding (encoding, optional space, "=", optional space,
// a quoted value), or nothing when it names none in that form.
std::optional<std::string_view> DeclaredEncoding(std::string_view declaration) {
    constexpr std::string_view kName = "encoding";
    for (std::size_t at = declaration.find(kName); at != std::string_view::npos;
         at = declaration.find(kName, at + 1)) {
        if (!IsXmlSpace(declaration[at - 1])) {
            continue;  // part of another name
        }
        std::size_t next = SkipXmlSpace(declaration, at + kName.size());
        if (next >= declaration.size() || declaration[next] != '=') {
            continue;
        }
        next = SkipXmlSpace(declaration, next + 1);
        if (next >= declaration.size() || (declaration[next] != '"' && declaration[next] != '\'')) {
            return std::nullopt;
        }
        const std::size_t close = declaration.find(declaration[next], next + 1);
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        return declaration.substr(next + 1, close - next - 1);
    }
    return std::nullopt;
}

}  // namespace

bool MenuIsUtf8(std::string_view menu) {
    menu = WithoutUtf8Mark(menu);
    constexpr std::string_view kOpening = "<?xml";
    if (!menu.starts_with(kOpening) || menu.size() == kOpening.size() ||
        !IsXmlSpace(menu[kOpening.size()])) {
        return true;
    }
    const std::optional<std::string_view> encoding =
        DeclaredEncoding(menu.substr(0, menu.find("?>")));
    return !encoding || NamesUtf8(*encoding);
}

bool DeclaresUtf8Charset(std::string_view head) {
    constexpr std::string_view kCharset = "charset=";
    head = head.substr(0, kCharsetWindow);
    const std::size_t found = FindChunked(1, head, kCharset, CompareMode::Text);
    if (found == 0) {
        return false;
    }
    constexpr std::string_view kLabelCharacters =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_.:";
    std::size_t at =
        std::min(head.find_first_not_of(" \t", found - 1 + kCharset.size()), head.size());
    if (at < head.size() && (head[at] == '"' || head[at] == '\'')) {
        ++at;
    }
    return NamesUtf8(head.substr(at, head.find_first_not_of(kLabelCharacters, at) - at));
}

std::string_view ListText::Line(std::string_view line) {
    switch (reading_) {
        case ListReading::AsIs:
            return line;
        case ListReading::Utf8:
            switch (CheckUtf8(line)) {
                case Utf8Need::Nothing:
                    return line;
                case Utf8Need::ControlsOnly:
                    text_.clear();
                    AppendReplacingControlCharacters(line, text_);
                    return text_;
                case Utf8Need::NotUtf8:
                    throw ListNotUtf8{};
            }
            break;
        case ListReading::RepairedUtf8:
            text_.clear();
            AppendRepairedUtf8(line, text_);
            break;
        case ListReading::Windows1252:
            text_.clear();
            AppendWindows1252(line, text_);
            break;
    }
    ReplaceControlCharacters(text_);
    return text_;
}

}  // namespace tamsel
