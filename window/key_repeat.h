#pragma once

// Tells the presses a user makes from the ones a held key repeats, whichever way the
// platform delivers a held key: as presses flagged as repeats (Windows, Wayland), or as
// release/press pairs that carry one time stamp (X, where the toolkit does not always notice
// the pair and flags the press as a new one).

#include <cstdint>
#include <optional>

namespace tamsel {

// When a key event happened, in milliseconds on the platform's event clock; nothing when
// the platform gives no time (X's time 0 is no time either).
using KeyTime = std::optional<std::uint64_t>;

class KeyRepeatGuard {
  public:
    // A press this close after its own key's release, with no other key between, comes
    // from a held key: X stamps both halves of a repeat with the same time, and no finger
    // lets go of a key and presses it again within this time.
    static constexpr std::uint64_t kPairGapMs = 50;

    // A key went down. True for a new press; false for a repeat: flagged as one by the
    // platform, or following its own release within kPairGapMs with no other key between.
    // A press without a time is new unless flagged.
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
