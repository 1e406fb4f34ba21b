#pragma once

// Advice to the platform on memory that is filled once from start to end, one source per
// platform (large_pages_posix.cpp, large_pages_win32.cpp).

#include <cstddef>

namespace tamsel {

// Asks that the pages holding [data, data + size) be backed by large pages where the
// system allows it, so that filling them takes one page fault per 2 MiB instead of one per
// 4 KiB. Advice only: the bytes stay as they are, and where the system declines (Windows,
// or Linux with transparent huge pages off) nothing changes.
void AdviseLargePages(void* data, std::size_t size);

}  // namespace tamsel
