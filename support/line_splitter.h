#pragma once

// Cuts a byte stream that arrives in chunks into lines, so that a file of any length can
// be read line by line with one chunk in memory.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tamsel {

// Receives a line of a text, without its break. The line is lent for the call only.
using LineHandler = std::function<void(std::string_view line)>;

class LineSplitter {
  public:
    // Gives each line to `onLine`: a line that lies whole in one chunk is a view into that
    // chunk; one that spans chunks is joined once into a buffer the splitter reuses. A line
    // costs about its own length in memory while it is gathered, once more only for the
    // moment its pieces are joined.
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
    void DeliverGathered();

    LineHandler onLine_;
    std::string line_;  // the start of a line the next chunk goes on with; reused
    // A long line is gathered in pieces and joined once, instead of growing `line_`, whose
    // every doubling would hold the old and the new buffer at once.
    std::vector<std::string> pieces_;
    std::size_t piecesSize_ = 0;
    bool gathering_ = false;  // a line began in an earlier chunk
    bool afterCr_ = false;
};

}  // namespace tamsel
