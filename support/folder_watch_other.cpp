#include "support/folder_watch.h"

// POSIX systems other than Linux: nothing is watched, and kept listings go by the folders'
// modification times.

namespace tamsel {

FolderWatch::FolderWatch() = default;

FolderWatch::~FolderWatch() = default;

int FolderWatch::Watch(Folder) {
    return kNone;
}

void FolderWatch::Forget(int) {}

void FolderWatch::Drain(const std::function<void(int, Change, std::string_view)>&) {}

}  // namespace tamsel
