#include "support/folder_read_ahead.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace tamsel {

namespace {

// A path box asks for two at once, the folder its text is in and the one it names; a few
// more cover the folders passed on the way when the text changes quickly.
constexpr std::size_t kMostWanted = 4;

}  // namespace

FolderReadAhead::FolderReadAhead(std::function<void(const std::string&)> read)
    : read_(std::move(read)) {}

FolderReadAhead::~FolderReadAhead() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        wanted_.clear();
    }
    changed_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void FolderReadAhead::Ask(std::string folderPart) {
    {
        const std::lock_guard lock(mutex_);
        if (reading_ == folderPart ||
            std::find(wanted_.begin(), wanted_.end(), folderPart) != wanted_.end()) {
            return;
        }
        wanted_.push_back(std::move(folderPart));
        if (wanted_.size() > kMostWanted) {
            wanted_.pop_front();
        }
        if (!thread_.joinable()) {
            try {
                thread_ = std::thread([this] { Work(); });
            } catch (const std::system_error&) {
                wanted_.clear();  // no thread to be had: the listings read for themselves
                return;
            }
        }
    }
    changed_.notify_all();
}

void FolderReadAhead::Settle(const std::string& folderPart) {
    std::unique_lock lock(mutex_);
    std::erase(wanted_, folderPart);
    changed_.wait(lock, [&] { return reading_ != folderPart; });
}

void FolderReadAhead::Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !wanted_.empty(); });
        if (stopping_) {
            return;
        }
        reading_ = std::move(wanted_.front());
        wanted_.pop_front();
        lock.unlock();
        read_(*reading_);
        lock.lock();
        reading_.reset();
        changed_.notify_all();
    }
}

}  // namespace tamsel
