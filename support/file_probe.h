#pragma once

// Whether a path names a readable file with content. The probe keeps no state between
// calls and may run on any thread.

#include <cstdint>
#include <string>

namespace tamsel {

// True exactly when ProbeFileSize(path) > 0: an empty file, a missing one, a folder, a
// device, a FIFO, a socket and a file another process holds open for writing all count
// as missing.
bool FileExists(const std::string& path);

// The size in bytes of the regular file at `path` (UTF-8), or 0 when it cannot be opened
// for reading or is not a regular file. Exact for every size below 2^53.
double ProbeFileSize(const std::string& path);

// True for the two values the platform's open call uses to say "no file": 0 and -1.
bool IsInvalidHandle(std::int64_t handle);

// The unsigned 64-bit value made of two 32-bit halves stored as signed values, as a double.
double LargeToDouble(std::int32_t low, std::int32_t high);

}  // namespace tamsel
