#pragma once

// The watches of a platform's few kept folder listings and the changes told for them, so
// that every platform brings a kept listing up to its folder in the same way. A listing
// carries the `watch` of its folder and the `changesFollowed` since its last use; how one
// change is followed, and what giving a listing up means, are the platform's own. The
// caller holds its listings' lock around every call.

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/folder_watch.h"

namespace tamsel {

template <typename Listing>
class FollowedListings {
  public:
    // `follow` brings a listing up to one change, false for one it cannot follow; `giveUp`
    // marks a listing that can no longer be trusted.
    FollowedListings(std::function<bool(Listing&, FolderWatch::Change, std::string_view)> follow,
                     std::function<void(Listing&)> giveUp)
        : follow_(std::move(follow)), giveUp_(std::move(giveUp)) {}

    // Starts watching the open `folder` for `listing`, before it is read, so that no change
    // is missed: one the reading saw already is followed as if it had not.
    void Watch(Listing& listing, FolderWatch::Folder folder) {
        Unwatch(listing);
        listing.watch = watch_.Watch(folder);
        listing.changesFollowed = 0;
    }
    void Unwatch(Listing& listing) {
        watch_.Forget(listing.watch);
        listing.watch = FolderWatch::kNone;
    }

    // Brings the watched listings up to every change told since the last call. A change
    // told for no one watch (some were dropped) reaches every one.
    void FollowChanges(std::span<Listing> kept) {
        for (Listing& listing : kept) {
            listing.changesFollowed = 0;
        }
        watch_.Drain([&](int watch, FolderWatch::Change change, std::string_view name) {
            const bool everyWatch = watch == FolderWatch::kNone;
            if (readingWatch_ != FolderWatch::kNone && (everyWatch || watch == readingWatch_)) {
                toldWhileReading_.emplace_back(change, name);
            }
            for (Listing& listing : kept) {
                if (everyWatch || listing.watch == watch) {
                    FollowOne(listing, change, name);
                }
            }
        });
    }

    // A listing read without the lock: the changes told for its watch meanwhile are held
    // from here, and followed when it is kept.
    void Reading(const Listing& fresh) { readingWatch_ = fresh.watch; }
    void Keeping(std::span<Listing> kept, Listing& fresh) {
        FollowChanges(kept);
        for (const auto& [change, name] : std::exchange(toldWhileReading_, {})) {
            FollowOne(fresh, change, name);
        }
        readingWatch_ = FolderWatch::kNone;
    }

  private:
    // Each change moves the names after its place; past this many since the last listing,
    // the folder is read again instead (a folder being unpacked, say).
    static constexpr int kMostChangesFollowed = 16;

    void FollowOne(Listing& listing, FolderWatch::Change change, std::string_view name) {
        if (listing.watch == FolderWatch::kNone) {
            return;  // given up on already
        }
        if (++listing.changesFollowed > kMostChangesFollowed || !follow_(listing, change, name)) {
            giveUp_(listing);
            Unwatch(listing);
        }
    }

    std::function<bool(Listing&, FolderWatch::Change, std::string_view)> follow_;
    std::function<void(Listing&)> giveUp_;
    FolderWatch watch_;
    // The watch of the folder being read without the lock, and the changes told for it.
    int readingWatch_ = FolderWatch::kNone;
    std::vector<std::pair<FolderWatch::Change, std::string>> toldWhileReading_;
};

}  // namespace tamsel
