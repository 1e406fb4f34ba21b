#pragma once

// Word of the entries that come to a folder and go from it, so that a kept listing of a
// large folder can follow its changes instead of reading it again. Linux tells them
// (inotify); elsewhere nothing is watched, and a listing goes by the folder's times.

#include <functional>
#include <string_view>

namespace tamsel {

class FolderWatch {
  public:
    enum class Change {
        kAdded,    // an entry was created in the folder or renamed into it
        kRemoved,  // an entry was deleted or renamed out of it
        kLost,     // the watch ended (the folder went, or it was forgotten): no more word
    };
    static constexpr int kNone = -1;

    FolderWatch();
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Starts watching the entries of the folder open as `descriptor`; the watch, or kNone
    // where not every change would be told: no watching on this system, or a file system
    // that others can change without word of it reaching this machine (a network share).
    // A folder watched twice has one watch. Any thread may call this.
    int Watch(int descriptor);
    // Ends `watch`; a kLost for it follows among the changes.
    void Forget(int watch);
    // Hands every change told since the last call to `changed`, in the order they came.
    // A kLost for kNone means that changes were dropped: no watch can be trusted. One
    // thread at a time.
    void Drain(const std::function<void(int watch, Change, std::string_view name)>& changed);

  private:
    int queue_ = -1;
};

}  // namespace tamsel
