#pragma once

// Whether a path names a readable file with content. The probe keeps no state between
// calls and may run on any thread.

#include <cstdint>
#include <string>

namespace tamsel {

// True exactly when ProbeFileSize(path) > 0: an empty file, a missing one, a folder, a
// device, a FIFO, a socket and a file another process holds open for writing all count
// as missing. On Linux the last needs a read lease, which only the file's owner (or a
// process with CAP_LEASE) gets and some network or overlay file systems refuse; where it
// is refused, a file being written counts as present. Never blocks, never throws, and
// leaves errno as it found it.
bool FileExists(const std::string& path);

// The size in bytes of the regular file at `path` (UTF-8), or 0 when it cannot be opened
// for reading, is not a regular file or is held open for writing (see FileExists). A path
// containing a NUL byte names no file.
std::uint64_t ProbeFileSize(const std::string& path);

namespace probe {

// True for the two values the platform's open call uses to say "no file": 0 and -1.
bool IsInvalidHandle(std::int64_t handle);

}  // namespace probe

}  // namespace tamsel
