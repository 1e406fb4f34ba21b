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

FolderReadAhead::FolderReadAhead(std::function<void(const std::string&)> read,
                                 std::function<void()> idle, std::chrono::milliseconds idleAfter)
    : read_(std::move(read)), idle_(std::move(idle)), idleAfter_(idleAfter) {}

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
        if (!Used()) {
            return;  // no thread to be had: the listings read for themselves
        }
        if (reading_ == folderPart ||
            std::find(wanted_.begin(), wanted_.end(), folderPart) != wanted_.end()) {
            return;
        }
        wanted_.push_back(std::move(folderPart));
        if (wanted_.size() > kMostWanted) {
            wanted_.pop_front();
        }
    }
    changed_.notify_all();
}

void FolderReadAhead::Settle(const std::string& folderPart) {
    std::unique_lock lock(mutex_);
    if (idle_) {
        Used();
    }
    std::erase(wanted_, folderPart);
    changed_.wait(lock, [&] { return reading_ != folderPart; });
}

bool FolderReadAhead::Used() {
    lastUse_ = std::chrono::steady_clock::now();
    idleDue_ = static_cast<bool>(idle_);
    if (!thread_.joinable()) {
        try {
            thread_ = std::thread([this] { Work(); });
        } catch (const std::system_error&) {
            return false;
        }
    }
    return true;
}

void FolderReadAhead::Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        if (stopping_) {
            return;
        }
        if (wanted_.empty()) {
            // A wait ended by a later use than the one it began after starts again.
            const auto due = lastUse_ + idleAfter_;
            if (!idleDue_) {
                changed_.wait(lock);
            } else if (std::chrono::steady_clock::now() < due) {
                changed_.wait_until(lock, due);
            } else {
                idleDue_ = false;
                lock.unlock();
                idle_();
                lock.lock();
            }
            continue;
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
