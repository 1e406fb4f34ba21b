#pragma once

// Text in other encodings made UTF-8. TextDecoder turns the bytes of a text file into UTF-8
// as they stream in, so that a list saved with a byte-order mark reads like any other: a
// UTF-8 mark at the start is dropped, and a file that starts with a UTF-16 mark (FF FE
// little-endian, FE FF big-endian) is decoded from UTF-16. Any other file passes through
// byte for byte.

#include <cstdint>
#include <string>
#include <string_view>

namespace tamsel {

// The UTF-8 byte-order mark, and `text` without it at its start.
inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view WithoutUtf8Mark(std::string_view text) {
    return text.substr(text.starts_with(kUtf8Mark) ? kUtf8Mark.size() : 0);
}

// Appends `bytes` read as windows-1252, the Windows ANSI code page of Western Europe, to
// `out` as UTF-8, as the WHATWG encoding standard maps them: 0x80-0x9F to the code page's
// letters and signs, the five bytes it leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) to the
// C1 control of the same value, every other byte to the code point of the same value.
void AppendWindows1252(std::string_view bytes, std::string& out);

class TextDecoder {
  public:
    // The UTF-8 text that `bytes`, the next part of the stream of any size, completes (a mark
    // or a UTF-16 character split between parts is joined). Valid until the next call; for
    // a file without a UTF-16 mark usually `bytes` itself, without a copy.
    std::string_view Decode(std::string_view bytes);

    // What the stream's end completes: bytes held back while the start was told apart, or
    // U+FFFD for a UTF-16 character cut off. The decoder can then take a new stream.
    std::string_view Finish();

  private:
    enum class Form { Undecided, Bytes, Utf16Le, Utf16Be };

    std::string_view DecodeStart(std::string_view bytes);
    void DecodeUtf16(std::string_view bytes);
    void AppendUnit(std::uint16_t unit);

    Form form_ = Form::Undecided;
    std::string head_;        // the first bytes, while they may still be a mark
    std::string out_;         // decoded text handed out by the last call
    int carry_ = -1;          // a UTF-16 unit's first byte, waiting for its second
    std::uint16_t high_ = 0;  // a high surrogate waiting for its low one, or 0
};

}  // namespace tamsel
