#pragma once

// Reads a regular file by mapping it into memory a window at a time, so that a long list
// is read where the system's cache holds it instead of being copied out first.
//
// A file that shrinks while it is mapped would end the process at the first touch of a
// page past its new end. Here those pages read as zero bytes instead, and the chunk after
// says that the read failed.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "support/native_file.h"

namespace tamsel {

class MappedChunks {
  public:
    // Maps the first window of `file`, which must outlive the chunks. Not valid where the
    // file cannot be mapped: an empty file, a failed mapping, or a system where files are
    // read the ordinary way (Windows).
    explicit MappedChunks(const native::File& file);
    ~MappedChunks();
    MappedChunks(const MappedChunks&) = delete;
    MappedChunks& operator=(const MappedChunks&) = delete;

    bool Valid() const { return window_ != nullptr; }

    // The next chunk of the file up to the size it had when mapped, in order, valid until
    // the next call: empty at the end, nothing when a window could not be mapped or the
    // file shrank under the chunk before. Once it has said either, it says it again.
    std::optional<std::string_view> Next();

    // Windows of this size are mapped, one at a time.
    static constexpr std::size_t kWindow = 1 << 20;

  private:
    bool Map(std::uint64_t offset);
    void Unmap();

    const native::File& file_;
    std::uint64_t size_ = 0;
    std::uint64_t offset_ = 0;  // of the window mapped
    const char* window_ = nullptr;
    std::size_t length_ = 0;
    bool handedOut_ = false;  // whether the mapped window went to the caller
    bool failed_ = false;
    int guard_ = -1;  // the slot that answers for the window's faults
};

}  // namespace tamsel
