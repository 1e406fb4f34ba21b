#pragma once

// Reads an open file on a thread of its own, a few chunks ahead of the thread that uses
// them, so that copying the bytes out of the system's cache overlaps with the work on the
// chunk before. Where no thread can be started, the chunks are read as they are asked for.

#include <array>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <thread>

#include "support/native_file.h"

namespace tamsel {

class ChunkReadAhead {
  public:
    // Starts reading `file` from its current position; `file` must outlive the reader.
    explicit ChunkReadAhead(const native::File& file);
    // Stops the reading thread, whichever chunk it is at.
    ~ChunkReadAhead();
    ChunkReadAhead(const ChunkReadAhead&) = delete;
    ChunkReadAhead& operator=(const ChunkReadAhead&) = delete;

    // The next chunk of the file, in order, valid until the next call: empty at the end of
    // the file, nothing when a read failed. Once it has said either, it says it again.
    std::optional<std::string_view> Next();

  private:
    // Chunks large enough that handing one over costs little next to using it, small
    // enough that the few read ahead stay in the processor's cache.
    static constexpr std::size_t kChunks = 4;
    static constexpr std::size_t kChunkSize = 256 * 1024;

    // Chunk `index` as the read into it left it.
    std::optional<std::string_view> Chunk(std::size_t index) const;
    void Work();

    const native::File& file_;
    std::unique_ptr<char[]> buffers_;
    std::array<long long, kChunks> got_{};
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t first_ = 0;   // the chunk the caller has or gets next
    std::size_t filled_ = 0;  // chunks read and not yet given back, from first_ on
    bool holding_ = false;    // whether the caller holds chunk first_
    bool stopping_ = false;
    std::thread thread_;  // not joinable when none could be started
};

}  // namespace tamsel
