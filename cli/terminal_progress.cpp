#include "cli/terminal_progress.h"

#include <ostream>
#include <utility>

namespace tamsel {

constexpr std::chrono::milliseconds kTerminalProgressDelay{1000};

TerminalProgress::TerminalProgress(std::ostream& err, bool shown, Clock clock)
    : err_(err), shown_(shown), clock_(std::move(clock)), start_(clock_()) {}

void TerminalProgress::ListRead(std::uint64_t bytesRead, std::uint64_t totalBytes) {
    const std::uint64_t percent = totalBytes == 0 ? 0 : bytesRead * 100 / totalBytes;
    Show("Reading the list... " + std::to_string(percent) + "%");
}

void TerminalProgress::WaitingForLock(bool waiting) {
    Show(waiting ? "Waiting for another run to finish with the Links.xml..." : "");
}

bool TerminalProgress::CancelRequested() {
    Show(line_);
    return false;
}

void TerminalProgress::Show(std::string line) {
    line_ = std::move(line);
    if (!shown_ || line_ == written_ || clock_() - start_ < kTerminalProgressDelay) {
        return;
    }
    // Blanks wipe what a longer line left behind.
    const std::size_t wipe = written_.size() > line_.size() ? written_.size() - line_.size() : 0;
    err_ << '\r' << line_ << std::string(wipe, ' ');
    err_.flush();
    written_ = line_;
}

void TerminalProgress::Clear() {
    if (!written_.empty()) {
        err_ << '\r' << std::string(written_.size(), ' ') << '\r';
        err_.flush();
        written_.clear();
    }
}

}  // namespace tamsel
