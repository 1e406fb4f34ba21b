#include "menu_promise.h"

namespace tamsel::test {

namespace {

std::string Describe(const FileState& file, const MenuVersions& versions) {
    if (!file.present) {
        return "missing";
    }
    if (file.torn) {
        return "torn (never flushed)";
    }
    if (file.bytes == versions.previous) {
        return "the previous menu";
    }
    if (file.bytes == versions.next) {
        return "the new menu";
    }
    return "other bytes (" + std::to_string(file.bytes.size()) + " bytes)";
}

bool Holds(const FileState& file, const std::string& bytes) {
    return file.present && !file.torn && file.bytes == bytes;
}

}  // namespace

std::string CheckAtAnyMoment(const FileState& menu, const FileState& backup,
                             const MenuVersions& versions) {
    if (Holds(menu, versions.previous)) {
        return "";
    }
    if (Holds(menu, versions.next) && Holds(backup, versions.previous)) {
        return "";
    }
    return "menu is " + Describe(menu, versions) + ", backup is " + Describe(backup, versions);
}

std::string CheckDone(const FileState& menu, const FileState& backup,
                      const MenuVersions& versions) {
    if (Holds(menu, versions.next) && Holds(backup, versions.previous)) {
        return "";
    }
    return "after Done, menu is " + Describe(menu, versions) + ", backup is " +
           Describe(backup, versions);
}

std::string CheckFailed(const FileState& menu, const MenuVersions& versions) {
    if (Holds(menu, versions.previous)) {
        return "";
    }
    return "after a failure, menu is " + Describe(menu, versions);
}

}  // namespace tamsel::test
