#pragma once

// A piece of the file probe (file_probe.cpp), apart so that a test can reach it.

#include <cstdint>

namespace tamsel::probe {

// True for the two values the platform's open call uses to say "no file": 0 and -1.
bool IsInvalidHandle(std::int64_t handle);

}  // namespace tamsel::probe
