#pragma once

// A key as a window hands it to the form logic, raw, and what tells the presses a user makes
// from the ones a held key repeats, whichever way the platform delivers a held key: as
// presses flagged as repeats (Windows, Wayland), or as release/press pairs with one time
// stamp (X, where the toolkit does not always notice the pair and flags the press as new).

#include <cstdint>
#include <optional>

namespace tamsel {

// When a key event happened, in milliseconds on the platform's event clock; nothing when
// the platform gives no time (X's time 0 is no time either).
using KeyTime = std::optional<std::uint64_t>;

struct KeyEvent {
    int code = 0;   // the Windows virtual-key code (window/virtual_keys.h); 0 for none
    int shift = 0;  // modifier state: Shift 1 + Ctrl 2 + Alt 4
    KeyTime time;
    bool autoRepeat = false;  // flagged by the platform as a repeat of a held key
    // What the key's press and release have in common (a scan code); the release of a key
    // counts only when its press was seen.
    int identity = 0;
};

class KeyRepeatGuard {
  public:
    // A press this close after its own key's release, with no other key between, comes
    // from a held key: X stamps both halves of a repeat with the same time, and no finger
    // lets go of a key and presses it again within this time.
    static constexpr std::uint64_t kPairGapMs = 50;

    // A key went down. True for a new press; false for a repeat: flagged as one, or
    // following its own release within kPairGapMs with no other key between. A press
    // without a time is new unless flagged.
    bool Pressed(int key, KeyTime time, bool flaggedRepeat);
    // A key came up. Releases that belong to a repeat come as well as the real one.
    void Released(int key, KeyTime time);

  private:
    struct Release {
        int key;
        std::uint64_t time;
    };
    std::optional<Release> lastRelease_;
};

}  // namespace tamsel
