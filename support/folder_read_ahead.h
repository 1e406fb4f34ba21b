#pragma once

// The thread that reads folders ahead of the listings that will want them. A platform's
// listing gives it the reading to do and keeps what it reads; this part only orders the
// readings and lets a listing wait for one under way instead of reading the folder twice.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace tamsel {

class FolderReadAhead {
  public:
    // `read` reads one folder part and keeps its names; it runs on the reading thread.
    // `idle`, when given, runs there too, once `idleAfter` has passed since the last Ask or
    // Settle: what a listing lets go of when nobody types.
    explicit FolderReadAhead(std::function<void(const std::string& folderPart)> read,
                             std::function<void()> idle = {},
                             std::chrono::milliseconds idleAfter = {});
    // Waits for the reading under way, if any; the queued ones are dropped.
    ~FolderReadAhead();
    FolderReadAhead(const FolderReadAhead&) = delete;
    FolderReadAhead& operator=(const FolderReadAhead&) = delete;

    // Queues a reading of `folderPart` unless it is queued already. Only the newest few
    // are kept: a path typed on makes older ones pointless.
    void Ask(std::string folderPart);
    // Returns once `folderPart` is neither queued nor being read: the caller reads it
    // now, so a queued reading is dropped and one under way waited for.
    void Settle(const std::string& folderPart);

  private:
    void Work();
    // Counts a use for the idle time, starting the thread for it; false when no thread
    // could be had. Holds the lock.
    bool Used();

    std::function<void(const std::string&)> read_;
    std::function<void()> idle_;
    std::chrono::milliseconds idleAfter_;
    std::chrono::steady_clock::time_point lastUse_;
    bool idleDue_ = false;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::string> wanted_;
    std::optional<std::string> reading_;
    bool stopping_ = false;
    std::thread thread_;  // started by the first Ask
};

}  // namespace tamsel
