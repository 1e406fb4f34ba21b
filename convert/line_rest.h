#pragma once

// What a list line leaves once stretches are cut out of it, kept as views of the line
// rather than by moving its bytes: a bookmark line with a long embedded icon is never
// copied to cut its address and title out.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace tamsel {

// A line with up to three stretches cut out, as up to four views of it, read as one text.
// Positions count from 0 in that text. Valid as long as the line it views.
class LineRest {
  public:
    static constexpr std::size_t npos = std::string_view::npos;

    LineRest() = default;
    explicit LineRest(std::string_view line);

    std::size_t Size() const { return size_; }
    bool Empty() const { return size_ == 0; }
    char At(std::size_t index) const;

    // Index of the first `c` at or after `from`, or npos.
    std::size_t Find(char c, std::size_t from = 0) const;

    // Index of the first occurrence of the two bytes `pair` at or after `from`, or npos; an
    // occurrence may run across a cut.
    std::size_t FindPair(std::string_view pair, std::size_t from = 0) const;

    // Cuts [from, to) out; cutting more than three stretches is not supported (a cut that
    // reaches either end does not count).
    void Erase(std::size_t from, std::size_t to);

    // Appends [from, to) (ends past the text count as its end) to `out`.
    void AppendTo(std::string& out, std::size_t from = 0, std::size_t to = npos) const;

    // Whether the text from `from` on begins with `prefix`, ASCII letters compared
    // regardless of case (StartsWithIgnoringCase), across cuts and without copying.
    bool StartsWithIgnoringCase(std::size_t from, std::string_view prefix) const;

    // [from, to) without blanks at both ends, still viewing the line: what TrimBlanks of
    // that stretch gives.
    LineRest Trimmed(std::size_t from, std::size_t to) const;

    // Assigns Trimmed(from, to) to `out`, copying only the bytes kept.
    void AssignTrimmed(std::string& out, std::size_t from, std::size_t to) const;

    // Whether both view the same bytes of the same line (not merely equal texts).
    bool SameViews(const LineRest& other) const;

    // The text whole.
    std::string Joined() const;

  private:
    // Calls visit(piece, at) for each view's share of [from, to) (ends past the text count
    // as its end) in order, `at` being where the piece begins in the text, until it returns
    // false. Whether it never did.
    template <typename Visit>
    bool EachPiece(std::size_t from, std::size_t to, Visit visit) const;

    std::array<std::string_view, 4> parts_{};
    std::size_t count_ = 0;
    std::size_t size_ = 0;
};

}  // namespace tamsel
