#pragma once

// Cuts a byte stream that arrives in chunks into lines, so that a file of any length can
// be read line by line with one chunk in memory.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tamsel {

class LineSplitter {
  public:
    // Receives each line without its break. The line may be changed, moved from or swapped
    // with another string; the splitter starts the next line from an empty buffer either
    // way. A line costs about its own length in memory while it is gathered, once more
    // only for the moment its pieces are joined.
    using LineHandler = std::function<void(std::string& line)>;

    explicit LineSplitter(LineHandler onLine);

    // Delivers every line that `chunk` completes. A line ends at CR LF, a lone CR or a lone
    // LF; a CR LF split between two chunks is one break. Chunks may be of any size, empty
    // ones included.
    void Feed(std::string_view chunk);

    // Delivers the last line when the stream did not end with a break. Nothing is
    // delivered for an empty stream or one that ends with a break. The splitter can then
    // take a new stream.
    void Finish();

  private:
    void Gather(std::string_view part);
    void Deliver();

    LineHandler onLine_;
    std::string line_;  // reused for every line, so steady-state reading does not allocate
    // A long line is gathered in pieces and joined once, instead of growing `line_`, whose
    // every doubling would hold the old and the new buffer at once.
    std::vector<std::string> pieces_;
    std::size_t piecesSize_ = 0;
    bool afterCr_ = false;
};

}  // namespace tamsel
