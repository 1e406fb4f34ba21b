#pragma once

// A key as a window hands it on, raw, and what tells a user's presses from a held key's
// repeats however the platform sends them: presses flagged as repeats (Windows, Wayland),
// or release/press pairs with one time stamp (X, whose pairs the toolkit may not flag).

#include <cstdint>
#include <optional>

namespace tamsel {

// Milliseconds on the platform's event clock; nothing for no time (X's time 0 included).
using KeyTime = std::optional<std::uint64_t>;

struct KeyEvent {
    int code = 0;   // the Windows virtual-key code (window/virtual_keys.h); 0 for none
    int shift = 0;  // modifier state: Shift 1 + Ctrl 2 + Alt 4
    KeyTime time;
    bool autoRepeat = false;  // flagged by the platform as a repeat of a held key
    // What press and release have in common (a scan code): a release counts only when its
    // press was seen.
    int identity = 0;
};

class KeyRepeatGuard {
  public:
    // A press this close after its own key's release, with no other key between, comes
    // from a held key: X stamps both halves of a repeat with the same time, and no finger
    // lets go of a key and presses it again within this time.
    static constexpr std::uint64_t kPairGapMs = 50;

    // True for a new press; false for a repeat: flagged, or after its own release within
    // kPairGapMs with no key between. A press without a time is new unless flagged.
    bool Pressed(int key, KeyTime time, bool flaggedRepeat);
    // A repeat's releases too.
    void Released(int key, KeyTime time) {
        lastRelease_ = time ? std::optional(Release{key, *time}) : std::nullopt;
    }

  private:
    struct Release {
        int key;
        std::uint64_t time;
    };
    std::optional<Release> lastRelease_;
};

}  // namespace tamsel
