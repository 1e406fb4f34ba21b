#include "support/chunk_read_ahead.h"

#include <system_error>

namespace tamsel {

ChunkReadAhead::ChunkReadAhead(const native::File& file)
    : file_(file), buffers_(std::make_unique_for_overwrite<char[]>(kChunks * kChunkSize)) {
    try {
        thread_ = std::thread([this] { Work(); });
    } catch (const std::system_error&) {
        // No thread to be had: Next reads the chunks itself.
    }
}

ChunkReadAhead::~ChunkReadAhead() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
}

std::optional<std::string_view> ChunkReadAhead::Chunk(std::size_t index) const {
    const long long got = got_[index];
    if (got < 0) {
        return std::nullopt;
    }
    return std::string_view(buffers_.get() + index * kChunkSize, static_cast<std::size_t>(got));
}

std::optional<std::string_view> ChunkReadAhead::Next() {
    if (!thread_.joinable()) {
        got_[0] = native::ReadSome(file_, buffers_.get(), kChunkSize);
        return Chunk(0);
    }
    std::unique_lock lock(mutex_);
    if (holding_ && got_[first_] > 0) {
        // The chunk the caller had is free for the reader again.
        first_ = (first_ + 1) % kChunks;
        --filled_;
        changed_.notify_all();
    }
    changed_.wait(lock, [this] { return filled_ > 0; });
    holding_ = true;
    return Chunk(first_);
}

void ChunkReadAhead::Work() {
    std::unique_lock lock(mutex_);
    for (std::size_t next = 0;; next = (next + 1) % kChunks) {
        changed_.wait(lock, [this] { return stopping_ || filled_ < kChunks; });
        if (stopping_) {
            return;
        }
        lock.unlock();
        // The chunk is the reader's alone until it is counted as filled.
        const long long got =
            native::ReadSome(file_, buffers_.get() + next * kChunkSize, kChunkSize);
        lock.lock();
        got_[next] = got;
        ++filled_;
        changed_.notify_all();
        if (got <= 0) {
            return;  // the end, or a failure: said again at every call from here on
        }
    }
}

}  // namespace tamsel
