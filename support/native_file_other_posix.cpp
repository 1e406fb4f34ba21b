#include "support/native_file.h"

#include "support/native_file_posix_parts.h"

// POSIX systems other than Linux: no leases to tell a writer by, no extended attributes.

namespace tamsel::native {

bool HeldOpenForWriting(const File&) {
    return false;
}

bool CopyExtendedAttributes(int, int) {
    return false;
}

void StartWriteBack(const File&) {}

}  // namespace tamsel::native
