#pragma once

// Word of the entries that come to a folder and go from it, so that a kept listing of a
// large folder can follow its changes instead of reading it again. Linux (inotify) and
// Windows tell them; on other systems nothing is watched, and a listing goes by the
// folder's times.

#include <functional>
#include <string_view>
#ifdef _WIN32
#include <map>
#include <memory>
#include <vector>
#endif

namespace tamsel {

class FolderWatch {
  public:
    enum class Change {
        kAdded,    // an entry was created in the folder or renamed into it
        kRemoved,  // an entry was deleted or renamed out of it
        kLost,     // the watch ended (the folder went, or it was forgotten): no more word
    };
    static constexpr int kNone = -1;
#ifdef _WIN32
    // A handle of the folder opened for listing (FILE_LIST_DIRECTORY) and overlapped.
    using Folder = void*;
#else
    using Folder = int;  // the open folder's descriptor
#endif

    // Any thread may call the members, one at a time.
    FolderWatch();
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Starts watching the entries of the open `folder`, which stays the caller's; the
    // watch, or kNone where not every change would be told: no watching on this system, or
    // a file system that others can change without word of it reaching this machine (a
    // network share). On Linux a folder watched twice has one watch. On Windows a watch
    // holds the folder open, and while it does, no folder above it can be renamed.
    int Watch(Folder folder);
    // Ends `watch`; a kLost for it follows among the changes.
    void Forget(int watch);
    // Hands every change told since the last call to `changed`, in the order they came.
    // A kLost for kNone means that changes were dropped: no watch can be trusted.
    void Drain(const std::function<void(int watch, Change, std::string_view name)>& changed);

  private:
#ifdef _WIN32
    struct Watched;
    std::map<int, std::unique_ptr<Watched>> watched_;
    std::vector<int> forgotten_;  // their kLost is yet to be told
    int nextWatch_ = 0;
#else
    int queue_ = -1;
#endif
};

}  // namespace tamsel
