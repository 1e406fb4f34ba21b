#pragma once

// Reading a fuzz input as a few small numbers followed by texts. Texts are separated by
// kPartSeparator, two bytes that valid UTF-8 never holds, so inputs made from real lists and
// menus stay readable and the fuzzer can still split and join them.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace tamsel::fuzz {

inline constexpr std::string_view kPartSeparator = "\xff\xff";

class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size) {}

    // The next byte, 0 once the input is used up.
    std::uint8_t Byte() {
        if (rest_.empty()) {
            return 0;
        }
        const auto byte = static_cast<std::uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return byte;
    }

    // A number below `bound` (which must be positive) from the next three bytes.
    std::size_t Below(std::size_t bound) {
        std::size_t value = 0;
        for (int i = 0; i < 3; ++i) {
            value = (value << 8) | Byte();
        }
        return value % bound;
    }

    // The text up to the next separator (or to the end), which is consumed.
    std::string_view Part() {
        const std::size_t end = rest_.find(kPartSeparator);
        const std::string_view part = rest_.substr(0, end);
        rest_.remove_prefix(end == std::string_view::npos ? rest_.size()
                                                          : end + kPartSeparator.size());
        return part;
    }

    std::string_view Rest() const { return rest_; }

  private:
    std::string_view rest_;
};

// Texts longer than one search window (64000 bytes) cannot come from inputs of a few
// kilobytes; this grows `text` by a run of one repeated byte at a place the input picks,
// when the input asks for it, so that matches can fall on window edges.
inline std::string WithFiller(std::string_view text, FuzzInput& input) {
    const std::uint8_t control = input.Byte();
    std::string grown(text);
    // One input in eight: long texts are slow to check and the edges need only a few.
    if ((control & 0x0d) != 1) {
        return grown;
    }
    const std::size_t at = input.Below(grown.size() + 1);
    const std::size_t length = 63000 + input.Below(4000) + (control & 2 ? 64000 : 0);
    const char filler = static_cast<char>(input.Byte());
    grown.insert(at, length, filler);
    return grown;
}

// Stops the fuzzer with the broken property named; libFuzzer keeps the input that did it.
[[noreturn]] inline void Fail(const char* what) {
    std::fputs(what, stderr);
    std::fputc('\n', stderr);
    std::abort();
}

inline void Expect(bool holds, const char* what) {
    if (!holds) {
        Fail(what);
    }
}

}  // namespace tamsel::fuzz
