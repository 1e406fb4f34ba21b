#include "support/text_decoder.h"

#include <algorithm>
#include <array>

#include "support/utf8_repair.h"

namespace tamsel {

namespace {

constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(std::uint16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(std::uint16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Whether `head` can still grow into `mark`.
bool MayBecome(std::string_view head, std::string_view mark) {
    return head.size() < mark.size() && mark.starts_with(head);
}

// The code points of 0x80-0x9F; the rest of the page is Latin-1.
constexpr std::array<char16_t, 32> kHighRow = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  //
};

}  // namespace

void AppendWindows1252(std::string_view bytes, std::string& out) {
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        if (value < 0x80) {
            out += byte;
        } else if (value < 0xA0) {
            AppendCodePoint(kHighRow[value - 0x80], out);
        } else {
            AppendCodePoint(value, out);
        }
    }
}

std::string_view TextDecoder::Decode(std::string_view bytes) {
    if (form_ == Form::Undecided) {
        return DecodeStart(bytes);
    }
    if (form_ == Form::Bytes) {
        return bytes;
    }
    out_.clear();
    DecodeUtf16(bytes);
    return out_;
}

// Holds the first bytes back until they are known to be a mark or not; only the first
// part or two of a stream ever come here.
std::string_view TextDecoder::DecodeStart(std::string_view bytes) {
    const std::size_t taken = std::min<std::size_t>(bytes.size(), 3 - head_.size());
    head_.append(bytes.substr(0, taken));
    if (MayBecome(head_, kUtf8Mark) || MayBecome(head_, kUtf16LeMark) ||
        MayBecome(head_, kUtf16BeMark)) {
        return {};  // all of `bytes` went into the head
    }
    const std::string_view after = bytes.substr(taken);
    if (head_.starts_with(kUtf16LeMark) || head_.starts_with(kUtf16BeMark)) {
        form_ = head_.starts_with(kUtf16LeMark) ? Form::Utf16Le : Form::Utf16Be;
        out_.clear();
        DecodeUtf16(std::string_view(head_).substr(2));
        DecodeUtf16(after);
    } else {
        form_ = Form::Bytes;
        const std::string_view rest = WithoutUtf8Mark(head_);
        if (rest.empty()) {
            head_.clear();
            return after;
        }
        out_.assign(rest);
        out_.append(after);
    }
    head_.clear();
    return out_;
}

void TextDecoder::DecodeUtf16(std::string_view bytes) {
    const bool little = form_ == Form::Utf16Le;
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        if (carry_ < 0) {
            carry_ = value;
            continue;
        }
        const auto first = static_cast<std::uint16_t>(carry_);
        carry_ = -1;
        AppendUnit(
            static_cast<std::uint16_t>(little ? first | (value << 8) : (first << 8) | value));
    }
}

void TextDecoder::AppendUnit(std::uint16_t unit) {
    if (high_ != 0) {
        if (IsLowSurrogate(unit)) {
            AppendCodePoint(0x10000 + ((char32_t{high_} - 0xD800) << 10) + (unit - 0xDC00), out_);
            high_ = 0;
            return;
        }
        AppendCodePoint(kReplacement, out_);
        high_ = 0;
    }
    if (IsHighSurrogate(unit)) {
        high_ = unit;
    } else {
        AppendCodePoint(IsLowSurrogate(unit) ? kReplacement : char32_t{unit}, out_);
    }
}

std::string_view TextDecoder::Finish() {
    out_.clear();
    if (form_ == Form::Undecided) {
        out_.swap(head_);  // too short for any mark: the bytes as they are
    } else if (high_ != 0 || carry_ >= 0) {
        AppendCodePoint(kReplacement, out_);
    }
    form_ = Form::Undecided;
    head_.clear();
    carry_ = -1;
    high_ = 0;
    return out_;
}

}  // namespace tamsel
