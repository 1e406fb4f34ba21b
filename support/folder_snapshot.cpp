#include "support/folder_snapshot.h"

#include <optional>
#include <system_error>
#include <utility>

#include "support/exact_listing.h"
#include "support/folder_listing.h"

namespace tamsel {

namespace {

// A few names are probed sooner than a thread is started for them.
constexpr std::size_t kProbedAheadFrom = 64;

}  // namespace

FolderSnapshot::FolderSnapshot(FileSystem& files, std::string_view prefix)
    : files_(files), folder_(ListingFolderPart(prefix)) {
    std::optional<std::vector<std::string>> names = files_.ListExactNames(folder_);
    if (!names || names->size() >= UINT32_MAX) {
        return;
    }
    names_ = std::move(*names);
    std::size_t words = 1;
    while (words * 64 < names_.size() * 16) {
        words *= 2;  // 16 bits per name: about one absent name in twenty reaches the map
    }
    hashBits_.assign(words, 0);
    spellings_.reserve(names_.size());
    places_.reserve(names_.size());
    for (std::size_t n = 0; n < names_.size(); ++n) {
        std::string spelling;
        std::optional<std::string_view> comparable = ComparableName(names_[n], spelling);
        if (!comparable) {
            return;  // not listed: every name is probed
        }
        if (comparable->data() == spelling.data()) {
            comparable = spellings_.emplace_back(std::move(spelling));
        }
        const std::size_t bit = Hash{}(*comparable) & (words * 64 - 1);
        hashBits_[bit / 64] |= std::uint64_t{1} << (bit % 64);
        places_.emplace(*comparable, static_cast<std::uint32_t>(n));
    }
    probe_ = files_.EntryProbe(folder_);
    answers_ = std::make_unique<std::atomic<Answer>[]>(names_.size());
    if (files_.ProbesFromAnyThread() && names_.size() >= kProbedAheadFrom) {
        try {
            prober_ = std::thread([this] { ProbeAhead(); });
        } catch (const std::system_error&) {
            // No thread to be had: every name is probed when asked for.
        }
    }
}

FolderSnapshot::~FolderSnapshot() {
    stopping_ = true;
    if (prober_.joinable()) {
        prober_.join();
    }
}

std::optional<std::uint32_t> FolderSnapshot::Place(std::string_view comparable) const {
    const std::size_t bit = Hash{}(comparable) & (hashBits_.size() * 64 - 1);
    if ((hashBits_[bit / 64] >> (bit % 64) & 1) == 0) {
        return std::nullopt;
    }
    const auto found = places_.find(comparable);
    return found != places_.end() ? std::optional(found->second) : std::nullopt;
}

// A listed name's answer is the probe's, made once: here, or ahead on the probing thread.
bool FolderSnapshot::Probe(std::size_t listed) const {
    Answer answer = answers_[listed].load(std::memory_order_relaxed);
    if (answer == kUnknown) {
        answer = probe_(names_[listed]) ? kExists : kMissing;
        answers_[listed].store(answer, std::memory_order_relaxed);
    }
    return answer == kExists;
}

// The names in listing order; a link list asks for its icons in an order of its own, but
// most of them are answered here before it gets to them.
void FolderSnapshot::ProbeAhead() {
    for (std::size_t listed = 0; listed < names_.size() && !stopping_; ++listed) {
        Probe(listed);
    }
}

bool FolderSnapshot::FileExists(const std::string& path) const {
    if (answers_ != nullptr && path.starts_with(folder_)) {
        const std::string_view name = std::string_view(path).substr(folder_.size());
        std::string spelling;
        const std::optional<std::string_view> comparable =
            IsEntryName(name) ? ComparableName(name, spelling) : std::nullopt;
        if (comparable) {
            const std::optional<std::uint32_t> listed = Place(*comparable);
            return listed && Probe(*listed);
        }
    }
    return files_.FileExists(path);
}

}  // namespace tamsel
