#pragma once

// A file system held in memory, for tests and fuzz targets that must drive the conversion run
// through every file step: it records each step, can make any single step fail in a chosen
// way, and tells what a power cut at any moment would leave on the disk.
//
// Paths are plain strings with "/" as the separator; a folder must exist before a file can be
// created in it. File contents and folder entries are tracked separately, as a journaling
// file system does: a write made durable keeps its bytes across a power cut, but a new name,
// a rename or a removal only survives one once its folder has been synced.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/file_system.h"

namespace tamsel::test {

enum class StepKind { Probe, ReadWhole, ReadLines, Write, Remove, Rename, SyncFolder, Lock };

// How an injected fault changes a step.
enum class Fault {
    Open,    // the step fails before it has any effect
    Midway,  // a read or write stops half-way: half the lines delivered, half the bytes written
    Flush,   // a write puts every byte in place but cannot flush them to the disk
};

// The faults that make sense for a kind of step.
std::vector<Fault> FaultsFor(StepKind kind);
const char* Name(StepKind kind);
const char* Name(Fault fault);

struct Step {
    StepKind kind;
    std::string path;  // the file or folder the step works on (the source of a rename)
};

// One file as seen now (Volatile) or after a power cut (Durable, PowerCut).
struct FileState {
    bool present = false;
    bool torn = false;  // present after a power cut, but its bytes were never flushed
    std::string bytes;
};

class MemoryFileSystem;

// The files one power cut could leave behind.
class PowerCut {
  public:
    FileState File(const std::string& path) const;

  private:
    friend class MemoryFileSystem;
    PowerCut(const MemoryFileSystem& files, std::map<std::string, int> names)
        : files_(&files), names_(std::move(names)) {}

    const MemoryFileSystem* files_;
    std::map<std::string, int> names_;
};

class MemoryFileSystem : public FileSystem {
  public:
    MemoryFileSystem() = default;

    // Setup, outside the recorded steps: everything added is already durable.
    void AddFolder(const std::string& path);
    void AddFile(const std::string& path, std::string_view bytes);
    void RemoveEntry(const std::string& path);

    FileState Volatile(const std::string& path) const;
    // After a power cut that keeps none of the folder changes made since their folder was
    // last synced.
    FileState Durable(const std::string& path) const;
    // Every outcome a power cut now could have: the folders as last synced, with any
    // selection of the changes made since (new names, removals, renames, each whole)
    // kept, in order. A file system need not keep such changes in the order they were made.
    std::vector<PowerCut> PowerCuts() const;
    bool IsFolder(const std::string& path) const;

    // Makes step `index` (from 0, in call order) fail with `fault`; several steps may fail.
    void InjectFault(std::size_t index, Fault fault);
    // Called after every step, faulty or not, with this file system.
    void OnStep(std::function<void(const MemoryFileSystem&)> hook) { hook_ = std::move(hook); }
    const std::vector<Step>& Steps() const { return steps_; }

    std::uint64_t ProbeFileSize(const std::string& path) override;
    std::optional<std::string> ReadWhole(const std::string& path) override;
    bool ReadLines(const std::string& path, const LineHandler& onLine) override;
    // The folder's entries are reached by their paths, each change a recorded step: a new
    // file is refused where the name is taken (metadata is not modelled); an exchange is a
    // rename step of its first name, or, while `exchanges` is false, no step at all and
    // Unsupported; a lock is held unless its step fails (Failed) or `lockBusy` is set (Busy),
    // and changes no file; HasEntry is a probe step, and a folder counts.
    std::unique_ptr<HeldFolder> HoldFolder(const std::string& folder) override;
    bool exchanges = true;
    bool lockBusy = false;

  private:
    friend class PowerCut;
    friend class MemoryHeldFolder;

    struct Inode {
        std::string bytes;
        std::optional<std::string> durable;  // what survives a power cut; none when torn
    };

    // Records a step; the fault to apply to it, if any.
    std::optional<Fault> Begin(StepKind kind, const std::string& path);
    void End() const;
    const Inode* Find(const std::string& path) const;
    LockAttempt Lock(const std::string& path);
    bool WriteNew(const std::string& path, std::string_view bytes);
    bool Remove(const std::string& path);
    bool Move(const std::string& from, const std::string& to, bool mayReplace);
    ExchangeResult Exchange(const std::string& a, const std::string& b);
    bool HasEntry(const std::string& path);
    bool SyncFolder(const std::string& folder);
    bool CanCreate(const std::string& path) const;

    std::map<std::string, int> names_;         // folder entries as they are now
    std::map<std::string, int> durableNames_;  // folder entries as last synced
    // Folder changes not yet synced, oldest first: each sets names to files or, with no
    // file, removes them; a rename is one change of two names.
    using NameChange = std::vector<std::pair<std::string, std::optional<int>>>;
    std::vector<NameChange> unsynced_;
    std::map<int, Inode> inodes_;
    std::set<std::string> folders_;
    int nextInode_ = 1;

    std::vector<Step> steps_;
    std::map<std::size_t, Fault> faults_;
    std::function<void(const MemoryFileSystem&)> hook_;
};

// The folder part of a path without its final separator: "/a/b.txt" gives "/a", "b" gives "".
std::string ParentFolder(std::string_view path);

}  // namespace tamsel::test
