#include "convert/read_links.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "convert/link_reader.h"

namespace tamsel {

namespace {

// A batch is handed over when it holds this many links or this much of the list: often
// enough to keep both threads busy, rarely enough that handing over costs little.
constexpr std::size_t kBatchLinks = 1024;
constexpr std::uint64_t kBatchBytes = 4 << 20;
constexpr std::size_t kBatches = 8;
// A list read slowly (a network share, a slow stick) is handed over in steps of this much
// once a batch has taken this long, so that the caller tells of progress and hears of a
// cancel as often as it would reading the list itself.
constexpr std::uint64_t kSlowStep = 256 << 10;
constexpr std::chrono::milliseconds kSlowBatch{50};

struct ReadLink {
    LinkRecord record;
    const PreparedTemplate* query = nullptr;
    const PreparedTemplate* item = nullptr;
};

// Links taken from the list and the list's bytes they came from. The records keep their
// storage from one use of the batch to the next (copying into it measured faster than
// trading texts with the reader's record).
struct Batch {
    std::vector<ReadLink> links;
    std::size_t count = 0;
    std::uint64_t bytes = 0;
    bool last = false;  // the reading ended with this batch
};

// Thrown on the reading thread when the caller stops waiting for it.
struct ReadingStopped {};

// The reading thread fills batches in a ring, the caller's thread empties them in order.
class ReadAhead final : public LinkSink {
  public:
    ReadAhead(FileSystem& files, const std::string& path, LinkCollector& links)
        : files_(files), path_(path), links_(links) {}

    // Stops the reading thread at its next hand-over and waits for it.
    ~ReadAhead() {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // False when no thread could be started.
    bool Start() {
        try {
            thread_ = std::thread([this] { Read(); });
            return true;
        } catch (const std::system_error&) {
            return false;
        }
    }

    // On the caller's thread: the links of each batch in order, and their bytes to `onRead`.
    // What ReadLines said.
    bool AddAll(const std::function<void(std::uint64_t)>& onRead) {
        for (std::size_t next = 0;; next = (next + 1) % kBatches) {
            Batch& batch = Filled(next);
            for (std::size_t i = 0; i < batch.count; ++i) {
                ReadLink& link = batch.links[i];
                links_.Emit(link.record, *link.query, *link.item);
            }
            if (batch.bytes > 0) {
                onRead(batch.bytes);
            }
            if (batch.last) {
                return read_;
            }
            GiveBack();
        }
    }

  private:
    // The reading thread's own sink: a copy of the link goes into the batch being filled.
    void Emit(LinkRecord& record, const PreparedTemplate& query,
              const PreparedTemplate& item) override {
        Batch& batch = batches_[filling_];
        if (batch.count == batch.links.size()) {
            batch.links.emplace_back();
        }
        ReadLink& link = batch.links[batch.count++];
        link.record = record;  // each text into the storage it had the last time round
        link.query = &query;
        link.item = &item;
    }

    void Read() {
        try {
            LinkReader reader = links_.ReaderFor(*this);
            const bool read = files_.ReadLines(path_, [this, &reader](std::string_view line,
                                                                      bool keptForNext) {
                reader.Feed(line, keptForNext);
                Batch& batch = batches_[filling_];
                batch.bytes += line.size() + 1;
                if (batch.count >= kBatchLinks || batch.bytes >= kBatchBytes || Overdue(batch)) {
                    HandOver(false);
                }
            });
            if (read) {
                reader.Finish();
            }
            read_ = read;
            HandOver(true);
        } catch (const ReadingStopped&) {
        } catch (...) {
            failure_ = std::current_exception();
            HandOver(true);
        }
    }

    // On the reading thread: whether the batch being filled has taken long. The clock is
    // looked at once per kSlowStep of the list.
    bool Overdue(const Batch& batch) {
        if (batch.bytes < lookAt_) {
            return false;
        }
        lookAt_ = batch.bytes + kSlowStep;
        return std::chrono::steady_clock::now() - begun_ >= kSlowBatch;
    }

    // On the reading thread: the batch being filled goes to the caller, and the next one is
    // filled once the caller has given it back.
    void HandOver(bool last) {
        std::unique_lock lock(mutex_);
        batches_[filling_].last = last;
        ++filled_;
        changed_.notify_all();
        if (last) {
            return;
        }
        changed_.wait(lock, [this] { return stopping_ || filled_ < kBatches; });
        if (stopping_) {
            throw ReadingStopped{};
        }
        filling_ = (filling_ + 1) % kBatches;
        Batch& batch = batches_[filling_];
        batch.count = 0;
        batch.bytes = 0;
        lookAt_ = kSlowStep;
        begun_ = std::chrono::steady_clock::now();
    }

    // On the caller's thread: batch `index` once it is filled; what the reading threw.
    Batch& Filled(std::size_t index) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return filled_ > 0; });
        Batch& batch = batches_[index];
        if (batch.last && failure_) {
            std::rethrow_exception(failure_);
        }
        return batch;
    }

    void GiveBack() {
        {
            const std::lock_guard lock(mutex_);
            --filled_;
        }
        changed_.notify_all();
    }

    FileSystem& files_;
    const std::string& path_;
    LinkCollector& links_;
    std::array<Batch, kBatches> batches_;
    std::size_t filling_ = 0;  // the reading thread's batch
    std::uint64_t lookAt_ = kSlowStep;
    std::chrono::steady_clock::time_point begun_ = std::chrono::steady_clock::now();
    bool read_ = false;  // what ReadLines said; set before the last batch goes over
    std::exception_ptr failure_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t filled_ = 0;  // batches handed over and not yet given back
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace

bool ReadLinks(FileSystem& files, const std::string& path, LinkCollector& links,
               const std::function<void(std::uint64_t bytes)>& onRead,
               const std::function<void()>& meanwhile) {
    ReadAhead ahead(files, path, links);
    const bool started = ahead.Start();
    if (meanwhile) {
        meanwhile();
    }
    if (started) {
        return ahead.AddAll(onRead);
    }
    const bool read =
        files.ReadLines(path, [&links, &onRead](std::string_view line, bool keptForNext) {
            links.Feed(line, keptForNext);
            onRead(line.size() + 1);
        });
    if (read) {
        links.Finish();
    }
    return read;
}

}  // namespace tamsel
