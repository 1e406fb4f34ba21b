#pragma once

// The menu's lock taken as another run on the machine's files takes it, for tests that make a
// run wait for it.

#include <chrono>
#include <string>

#include "convert/menu_lock.h"

namespace tamsel::test {

inline LockAttempt LockAsAnotherRun(const std::string& menuPath) {
    MenuSite site = LocateMenu(menuPath, RealFileSystem());
    return LockMenuFile(site, std::chrono::milliseconds(0));
}

}  // namespace tamsel::test
