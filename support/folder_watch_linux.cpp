#include "support/folder_watch.h"

#include <linux/magic.h>
#include <sys/inotify.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

namespace tamsel {

namespace {

// File systems whose every change goes through this machine's kernel, and so is told to
// its watches. On others (NFS, SMB, FUSE) another machine can change a folder silently.
bool ChangedOnlyHere(int descriptor) {
    struct statfs info {};
    if (fstatfs(descriptor, &info) != 0) {
        return false;
    }
    switch (static_cast<unsigned long>(info.f_type)) {
        case EXT4_SUPER_MAGIC:  // also ext2 and ext3
        case XFS_SUPER_MAGIC:
        case BTRFS_SUPER_MAGIC:
        case TMPFS_MAGIC:
        case RAMFS_MAGIC:
        case F2FS_SUPER_MAGIC:
        case OVERLAYFS_SUPER_MAGIC:
        case 0x2FC12FC1:  // zfs, whose number the kernel's headers do not carry
            return true;
        default:
            return false;
    }
}

constexpr std::uint32_t kEntryChanges =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ONLYDIR;

}  // namespace

FolderWatch::FolderWatch() : queue_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

FolderWatch::~FolderWatch() {
    if (queue_ >= 0) {
        close(queue_);
    }
}

int FolderWatch::Watch(Folder descriptor) {
    if (queue_ < 0 || !ChangedOnlyHere(descriptor)) {
        return kNone;
    }
    // The open folder's own path, so that the folder watched is the one being read even
    // when its name has been given to another since it was opened.
    const std::string path = "/proc/self/fd/" + std::to_string(descriptor);
    const int watch = inotify_add_watch(queue_, path.c_str(), kEntryChanges);
    return watch >= 0 ? watch : kNone;
}

void FolderWatch::Forget(int watch) {
    if (queue_ >= 0 && watch != kNone) {
        inotify_rm_watch(queue_, watch);
    }
}

void FolderWatch::Drain(const std::function<void(int, Change, std::string_view)>& changed) {
    if (queue_ < 0) {
        return;
    }
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t got = read(queue_, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return;  // nothing more told (EAGAIN)
        }
        for (ssize_t at = 0; at < got;) {
            inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            const char* name = buffer + at + sizeof event;
            const std::string_view entry(name, strnlen(name, event.len));
            at += static_cast<ssize_t>(sizeof event + event.len);
            if ((event.mask & IN_Q_OVERFLOW) != 0) {
                changed(kNone, Change::kLost, {});
            } else if ((event.mask & (IN_IGNORED | IN_UNMOUNT)) != 0) {
                changed(event.wd, Change::kLost, {});
            } else if ((event.mask & (IN_CREATE | IN_MOVED_TO)) != 0) {
                changed(event.wd, Change::kAdded, entry);
            } else if ((event.mask & (IN_DELETE | IN_MOVED_FROM)) != 0) {
                changed(event.wd, Change::kRemoved, entry);
            }
        }
    }
}

}  // namespace tamsel
