#pragma once

// A held folder that passes every call on to another, for test folders that watch or change
// only a few of them.

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "support/file_system.h"

namespace tamsel::test {

class ForwardingFolder : public HeldFolder {
  public:
    explicit ForwardingFolder(std::unique_ptr<HeldFolder> inner) : inner_(std::move(inner)) {}

    LockAttempt TryLock(const std::string& name, const std::string& likeName) override {
        return inner_->TryLock(name, likeName);
    }
    std::optional<std::string> ReadSource(const std::string& name) override {
        return inner_->ReadSource(name);
    }
    std::optional<std::string> Read(const std::string& name) override { return inner_->Read(name); }
    std::optional<std::string> ReadSourceAgain() override { return inner_->ReadSourceAgain(); }
    bool IsSource(const std::string& name) override { return inner_->IsSource(name); }
    void CloseSource() override { inner_->CloseSource(); }
    bool WriteNew(const std::string& name, std::span<const std::string_view> pieces) override {
        return inner_->WriteNew(name, pieces);
    }
    bool Remove(const std::string& name) override { return inner_->Remove(name); }
    bool Rename(const std::string& from, const std::string& to) override {
        return inner_->Rename(from, to);
    }
    ExchangeResult Exchange(const std::string& a, const std::string& b) override {
        return inner_->Exchange(a, b);
    }
    bool RenameNew(const std::string& from, const std::string& to) override {
        return inner_->RenameNew(from, to);
    }
    bool HasEntry(const std::string& name) override { return inner_->HasEntry(name); }
    bool Sync() override { return inner_->Sync(); }

  private:
    std::unique_ptr<HeldFolder> inner_;
};

}  // namespace tamsel::test
