#pragma once

// The calls of the POSIX file layer (native_file_posix.cpp) that only some POSIX systems
// offer: one source for Linux, one for the others.

namespace tamsel::native {

// Copies every extended attribute of the open file `from` to the open file `to`; false when
// one could not be copied, or where the system has none to copy. Throws std::bad_alloc.
bool CopyExtendedAttributes(int from, int to);

enum class OneStepRename { Exchange, NoReplace };

// renameat2 of `from` to `to`, both entries of the folder `folder`, with the flag `how`
// stands for: 0 when done, else -1 with errno set; ENOSYS where the system has no such call.
int RenameInOneStep(int folder, const char* from, const char* to, OneStepRename how);

}  // namespace tamsel::native
