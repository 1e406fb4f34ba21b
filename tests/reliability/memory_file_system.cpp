#include "memory_file_system.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "support/text_decoder.h"

namespace tamsel::test {

namespace {

// Folder paths are compared without their final separator, so that "/m/" and "/m" name
// the same folder; the root keeps its one "/", and "." is the current folder, "".
std::string NormalFolder(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return folder == "." ? std::string() : folder;
}

// Splits the way the real layer does: CR LF, a lone CR and a lone LF each end a line, and a
// last line without a break still counts. With `completeOnly`, a trailing piece without a
// break is held back, as a read that failed there would not have seen its end.
std::vector<std::string> SplitLines(std::string_view bytes, bool completeOnly) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n') {
            continue;
        }
        lines.emplace_back(bytes.substr(start, i - start));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            ++i;
        }
        start = i + 1;
    }
    if (start < bytes.size() && !completeOnly) {
        lines.emplace_back(bytes.substr(start));
    }
    return lines;
}

}  // namespace

std::string ParentFolder(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string_view::npos) {
        return "";
    }
    return slash == 0 ? "/" : std::string(path.substr(0, slash));
}

std::vector<Fault> FaultsFor(StepKind kind) {
    switch (kind) {
        case StepKind::ReadWhole:
        case StepKind::ReadLines:
            return {Fault::Open, Fault::Midway};
        case StepKind::Write:
            return {Fault::Open, Fault::Midway, Fault::Flush};
        default:
            return {Fault::Open};
    }
}

const char* Name(StepKind kind) {
    static const char* const names[] = {"probe",  "read whole", "read lines",  "write",
                                        "remove", "rename",     "sync folder", "lock"};
    return names[static_cast<int>(kind)];
}

const char* Name(Fault fault) {
    static const char* const names[] = {"fails to open", "fails half-way", "fails to flush"};
    return names[static_cast<int>(fault)];
}

void MemoryFileSystem::AddFolder(const std::string& path) {
    for (std::string folder = NormalFolder(path); !folder.empty() && folder != "/";
         folder = ParentFolder(folder)) {
        folders_.insert(folder);
    }
}

void MemoryFileSystem::AddFile(const std::string& path, std::string_view bytes) {
    AddFolder(ParentFolder(path));
    const int id = nextInode_++;
    inodes_[id] = Inode{std::string(bytes), std::string(bytes)};
    names_[path] = id;
    durableNames_[path] = id;
}

void MemoryFileSystem::RemoveEntry(const std::string& path) {
    names_.erase(path);
    durableNames_.erase(path);
    folders_.erase(NormalFolder(path));
}

FileState MemoryFileSystem::Volatile(const std::string& path) const {
    const Inode* inode = Find(path);
    return inode == nullptr ? FileState{} : FileState{true, false, inode->bytes};
}

FileState MemoryFileSystem::Durable(const std::string& path) const {
    return PowerCut(*this, durableNames_).File(path);
}

std::vector<PowerCut> MemoryFileSystem::PowerCuts() const {
    // Runs make a handful of changes between syncs; more than this is a runaway test.
    constexpr std::size_t kMostChanges = 12;
    const std::size_t count = std::min(unsynced_.size(), kMostChanges);
    std::vector<PowerCut> cuts;
    for (std::size_t kept = 0; kept < (std::size_t{1} << count); ++kept) {
        std::map<std::string, int> names = durableNames_;
        for (std::size_t i = 0; i < count; ++i) {
            if ((kept >> i & 1) == 0) {
                continue;
            }
            for (const auto& [path, id] : unsynced_[i]) {
                if (id) {
                    names[path] = *id;
                } else {
                    names.erase(path);
                }
            }
        }
        cuts.push_back(PowerCut(*this, std::move(names)));
    }
    return cuts;
}

FileState PowerCut::File(const std::string& path) const {
    const auto name = names_.find(path);
    if (name == names_.end()) {
        return FileState{};
    }
    const MemoryFileSystem::Inode& inode = files_->inodes_.at(name->second);
    return inode.durable ? FileState{true, false, *inode.durable} : FileState{true, true, {}};
}

bool MemoryFileSystem::IsFolder(const std::string& path) const {
    const std::string folder = NormalFolder(path);
    return folder.empty() || folder == "/" || folders_.contains(folder);
}

void MemoryFileSystem::InjectFault(std::size_t index, Fault fault) {
    faults_[index] = fault;
}

std::optional<Fault> MemoryFileSystem::Begin(StepKind kind, const std::string& path) {
    steps_.push_back(Step{kind, path});
    const auto fault = faults_.find(steps_.size() - 1);
    if (fault != faults_.end()) {
        return fault->second;
    }
    return std::nullopt;
}

void MemoryFileSystem::End() const {
    if (hook_) {
        hook_(*this);
    }
}

const MemoryFileSystem::Inode* MemoryFileSystem::Find(const std::string& path) const {
    const auto name = names_.find(path);
    return name == names_.end() ? nullptr : &inodes_.at(name->second);
}

bool MemoryFileSystem::CanCreate(const std::string& path) const {
    return !path.empty() && path.back() != '/' && !IsFolder(path) && IsFolder(ParentFolder(path));
}

std::uint64_t MemoryFileSystem::ProbeFileSize(const std::string& path) {
    const std::optional<Fault> fault = Begin(StepKind::Probe, path);
    const Inode* inode = Find(path);
    const std::uint64_t size = (fault || inode == nullptr) ? 0 : inode->bytes.size();
    End();
    return size;
}

std::optional<std::string> MemoryFileSystem::ReadWhole(const std::string& path) {
    const std::optional<Fault> fault = Begin(StepKind::ReadWhole, path);
    const Inode* inode = Find(path);
    std::optional<std::string> bytes;
    if (!fault && inode != nullptr) {
        bytes = inode->bytes;
    }
    End();
    return bytes;
}

bool MemoryFileSystem::ReadLines(const std::string& path, const LineHandler& onLine) {
    const std::optional<Fault> fault = Begin(StepKind::ReadLines, path);
    const Inode* inode = Find(path);
    if (fault == Fault::Open || inode == nullptr) {
        End();
        return false;
    }
    // Decoded as the machine's file system decodes a list.
    TextDecoder decoder;
    std::string all(decoder.Decode(inode->bytes));
    all += decoder.Finish();
    const bool midway = fault.has_value();
    const std::string_view text = all;
    const std::vector<std::string> lines =
        SplitLines(midway ? text.substr(0, text.size() / 2) : text, midway);
    for (const std::string& line : lines) {
        onLine(line);
    }
    End();
    return !midway;
}

LockAttempt MemoryFileSystem::Lock(const std::string& path) {
    const std::optional<Fault> fault = Begin(StepKind::Lock, path);
    LockAttempt attempt;
    if (!fault) {
        attempt.state = lockBusy ? LockState::Busy : LockState::Held;
        if (!lockBusy) {
            attempt.lock = std::make_unique<HeldLock>();
        }
    }
    End();
    return attempt;
}

bool MemoryFileSystem::WriteNew(const std::string& path, std::string_view bytes) {
    const std::optional<Fault> fault = Begin(StepKind::Write, path);
    if (fault == Fault::Open || !CanCreate(path) || names_.contains(path)) {
        End();
        return false;
    }
    const int id = nextInode_++;
    names_[path] = id;
    unsynced_.push_back({{path, id}});
    Inode& inode = inodes_[id];
    if (!fault) {
        inode = Inode{std::string(bytes), std::string(bytes)};
    } else {
        const std::size_t written = fault == Fault::Midway ? bytes.size() / 2 : bytes.size();
        inode = Inode{std::string(bytes.substr(0, written)), std::nullopt};
    }
    End();
    return !fault;
}

bool MemoryFileSystem::Remove(const std::string& path) {
    const std::optional<Fault> fault = Begin(StepKind::Remove, path);
    const bool removed = !fault && names_.erase(path) > 0;
    if (removed) {
        unsynced_.push_back({{path, std::nullopt}});
    }
    End();
    return removed;
}

bool MemoryFileSystem::Move(const std::string& from, const std::string& to, bool mayReplace) {
    const std::optional<Fault> fault = Begin(StepKind::Rename, from);
    const auto source = names_.find(from);
    const bool possible =
        !fault && source != names_.end() && CanCreate(to) && (mayReplace || !names_.contains(to));
    if (possible && from != to) {
        const int id = source->second;
        names_.erase(source);
        names_[to] = id;
        unsynced_.push_back({{from, std::nullopt}, {to, id}});
    }
    End();
    return possible;
}

ExchangeResult MemoryFileSystem::Exchange(const std::string& a, const std::string& b) {
    if (!exchanges) {
        return ExchangeResult::Unsupported;
    }
    const std::optional<Fault> fault = Begin(StepKind::Rename, a);
    const auto first = names_.find(a);
    const auto second = names_.find(b);
    ExchangeResult result = ExchangeResult::Failed;
    if (!fault && first != names_.end() && second != names_.end()) {
        std::swap(first->second, second->second);
        unsynced_.push_back({{a, first->second}, {b, second->second}});
        result = ExchangeResult::Exchanged;
    }
    End();
    return result;
}

bool MemoryFileSystem::HasEntry(const std::string& path) {
    const std::optional<Fault> fault = Begin(StepKind::Probe, path);
    const bool found = !fault && (names_.contains(path) || IsFolder(path));
    End();
    return found;
}

bool MemoryFileSystem::SyncFolder(const std::string& folder) {
    const std::optional<Fault> fault = Begin(StepKind::SyncFolder, folder);
    const std::string normal = NormalFolder(folder);
    const bool possible = !fault && IsFolder(normal);
    if (possible) {
        // The folder's share of each change reaches the disk; a rename into another folder
        // keeps its other half pending there.
        for (NameChange& change : unsynced_) {
            std::erase_if(change, [&](const auto& entry) {
                if (ParentFolder(entry.first) != normal) {
                    return false;
                }
                if (entry.second) {
                    durableNames_[entry.first] = *entry.second;
                } else {
                    durableNames_.erase(entry.first);
                }
                return true;
            });
        }
        std::erase_if(unsynced_, [](const NameChange& change) { return change.empty(); });
    }
    End();
    return possible;
}

// Names are joined to the folder's path as given, so that each step names the path a run
// would; the source is told by its file, wherever its names lead meanwhile.
class MemoryHeldFolder final : public HeldFolder {
  public:
    MemoryHeldFolder(MemoryFileSystem& files, std::string folder)
        : files_(files), folder_(std::move(folder)) {}

    LockAttempt TryLock(const std::string& name, const std::string&) override {
        return files_.Lock(folder_ + name);
    }

    std::optional<std::string> ReadSource(const std::string& name) override {
        sourcePath_ = folder_ + name;
        std::optional<std::string> bytes = files_.ReadWhole(sourcePath_);
        const auto entry = files_.names_.find(sourcePath_);
        source_ =
            bytes && entry != files_.names_.end() ? std::optional(entry->second) : std::nullopt;
        return bytes;
    }

    std::optional<std::string> Read(const std::string& name) override {
        return files_.ReadWhole(folder_ + name);
    }

    // A read step of the name the source was opened by.
    std::optional<std::string> ReadSourceAgain() override {
        if (!source_ || closed_) {
            return std::nullopt;
        }
        const std::optional<Fault> fault = files_.Begin(StepKind::ReadWhole, sourcePath_);
        std::optional<std::string> bytes;
        if (!fault) {
            bytes = files_.inodes_.at(*source_).bytes;
        }
        files_.End();
        return bytes;
    }

    bool IsSource(const std::string& name) override {
        const auto entry = files_.names_.find(folder_ + name);
        return source_ && entry != files_.names_.end() && entry->second == *source_;
    }

    void CloseSource() override { closed_ = true; }

    bool WriteNew(const std::string& name, std::span<const std::string_view> pieces) override {
        std::string joined;
        for (std::string_view piece : pieces) {
            joined += piece;
        }
        return files_.WriteNew(folder_ + name, joined);
    }

    bool Remove(const std::string& name) override { return files_.Remove(folder_ + name); }

    bool Rename(const std::string& from, const std::string& to) override {
        return files_.Move(folder_ + from, folder_ + to, true);
    }

    ExchangeResult Exchange(const std::string& a, const std::string& b) override {
        return files_.Exchange(folder_ + a, folder_ + b);
    }

    bool RenameNew(const std::string& from, const std::string& to) override {
        return files_.Move(folder_ + from, folder_ + to, false);
    }

    bool HasEntry(const std::string& name) override { return files_.HasEntry(folder_ + name); }

    bool Sync() override { return files_.SyncFolder(folder_.empty() ? "." : folder_); }

  private:
    MemoryFileSystem& files_;
    std::string folder_;
    std::string sourcePath_;
    std::optional<int> source_;  // the source's file
    bool closed_ = false;
};

std::unique_ptr<HeldFolder> MemoryFileSystem::HoldFolder(const std::string& folder) {
    return std::make_unique<MemoryHeldFolder>(*this, folder);
}

}  // namespace tamsel::test
