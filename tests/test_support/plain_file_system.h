#pragma once

// The machine's file system without the engine's shortcuts, to pin each shortcut to the
// plain path: it lists no folder, so that every existence test is a probe, and it writes a
// file given in pieces by joining them first. It counts the probes it answers.

#include <cstdint>
#include <string>
#include <string_view>

#include "support/file_system.h"

namespace tamsel::test {

class PlainFileSystem : public FileSystem {
  public:
    // With `lists` the folder listing of the real file system is passed on after all.
    explicit PlainFileSystem(bool lists = false) : lists_(lists) {}

    std::uint64_t ProbeFileSize(const std::string& path) override {
        ++probes;
        return real_.ProbeFileSize(path);
    }
    std::optional<std::string> ReadWhole(const std::string& path) override {
        return real_.ReadWhole(path);
    }
    bool ReadLines(const std::string& path, const LineHandler& onLine) override {
        return real_.ReadLines(path, onLine);
    }
    bool WriteDurable(const std::string& path, std::string_view bytes) override {
        return real_.WriteDurable(path, bytes);
    }
    bool Remove(const std::string& path) override { return real_.Remove(path); }
    bool Rename(const std::string& from, const std::string& to) override {
        return real_.Rename(from, to);
    }
    bool SyncFolder(const std::string& folder) override { return real_.SyncFolder(folder); }
    std::optional<std::vector<std::string>> ListExactNames(const std::string& folder) override {
        return lists_ ? real_.ListExactNames(folder) : std::nullopt;
    }

    int probes = 0;

  private:
    FileSystem& real_ = RealFileSystem();
    bool lists_;
};

}  // namespace tamsel::test
