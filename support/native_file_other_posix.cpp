#include "support/native_file.h"

#include <cerrno>

#include "support/native_file_posix_parts.h"

// POSIX systems other than Linux: no leases to tell a writer by, no extended attributes, no
// renames that swap two names or refuse to replace one.

namespace tamsel::native {

bool HeldOpenForWriting(const File&) {
    return false;
}

bool CopyExtendedAttributes(int, int) {
    return false;
}

int RenameInOneStep(int, const char*, const char*, OneStepRename) {
    errno = ENOSYS;
    return -1;
}

void StartWriteBack(const File&) {}

}  // namespace tamsel::native
