#include "window/key_event.h"

namespace tamsel {

bool KeyRepeatGuard::Pressed(int key, KeyTime time, bool flaggedRepeat) {
    const std::optional<Release> release = lastRelease_;
    // Whatever this press is, it stands between the last release and any later press.
    lastRelease_.reset();
    if (flaggedRepeat) {
        return false;
    }
    const bool paired = release && time && release->key == key && *time >= release->time &&
                        *time - release->time <= kPairGapMs;
    return !paired;
}

}  // namespace tamsel
