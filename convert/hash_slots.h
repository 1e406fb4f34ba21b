#pragma once

// A flat hash table of small numbers, for indexes that keep their texts elsewhere: each slot
// holds part of a text's hash and the number under which the caller keeps that text, so a
// lookup touches one run of slots and compares only texts whose hash part matches.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tamsel {

class HashSlots {
  public:
    // Files `number` under `hash`. Numbers up to 2^32 - 2 are kept.
    void Insert(std::size_t hash, std::uint32_t number) {
        if ((count_ + 1) * 2 > slots_.size()) {
            Grow();
        }
        Place(Slot{Tag(hash), number});
        ++count_;
    }

    // Calls `matches(number)` for the numbers filed under hashes that agree with `hash` in
    // the part kept, in turn, until one of them returns true. Whether any did.
    template <typename Matches>
    bool Find(std::size_t hash, Matches matches) const {
        if (slots_.empty()) {
            return false;
        }
        const std::uint32_t tag = Tag(hash);
        for (std::size_t at = tag & Mask(); slots_[at].number != kEmpty; at = (at + 1) & Mask()) {
            if (slots_[at].tag == tag && matches(slots_[at].number)) {
                return true;
            }
        }
        return false;
    }

    // Asks the processor to fetch the slot where a lookup of `hash` begins, so that several
    // lookups can wait for memory at the same time.
    void Prefetch(std::size_t hash) const {
#if defined(__GNUC__) || defined(__clang__)
        if (!slots_.empty()) {
            __builtin_prefetch(&slots_[Tag(hash) & Mask()]);
            // GCC drops a branch that holds nothing but a prefetch, and the prefetch with it;
            // an empty volatile asm keeps both.
            asm volatile("");
        }
#else
        (void)hash;
#endif
    }

  private:
    static constexpr std::uint32_t kEmpty = UINT32_MAX;

    struct Slot {
        std::uint32_t tag = 0;
        std::uint32_t number = kEmpty;
    };

    // The hash folded to 32 bits; its low bits choose the first slot.
    static std::uint32_t Tag(std::size_t hash) {
        const std::uint64_t wide = static_cast<std::uint64_t>(hash) * 0x9E3779B97F4A7C15ULL;
        return static_cast<std::uint32_t>(wide >> 32);
    }

    std::size_t Mask() const {
        return slots_.size() - 1;
    }

    void Place(Slot slot) {
        std::size_t at = slot.tag & Mask();
        while (slots_[at].number != kEmpty) {
            at = (at + 1) & Mask();
        }
        slots_[at] = slot;
    }

    void Grow() {
        const std::size_t size = slots_.empty() ? 16 : slots_.size() * 2;
        std::vector<Slot> old(size);
        old.swap(slots_);
        for (const Slot& slot : old) {
            if (slot.number != kEmpty) {
                Place(slot);
            }
        }
    }

    std::vector<Slot> slots_;
    std::size_t count_ = 0;
};

}  // namespace tamsel
