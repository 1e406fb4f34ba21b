#pragma once

// The machine's file system without the engine's shortcut, to pin it to the plain path: it
// lists no folder, so that every existence test is a probe. It counts the probes it answers.

#include <cstdint>
#include <memory>
#include <string>

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
    std::unique_ptr<HeldFolder> HoldFolder(const std::string& folder) override {
        return real_.HoldFolder(folder);
    }
    std::optional<std::vector<std::string>> ListExactNames(const std::string& folder) override {
        return lists_ ? real_.ListExactNames(folder) : std::nullopt;
    }

    int probes = 0;

  private:
    FileSystem& real_ = RealFileSystem();
    bool lists_;
};

}  // namespace tamsel::test
