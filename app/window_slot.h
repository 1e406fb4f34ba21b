#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

// Which of the user's open windows this program's is: 0 for the first, 1 for one opened while
// the first is open, and so on. A window takes the lowest slot no running program holds by a
// lock file in `folder` (the user's runtime folder unless a test gives another), so a closed or
// crashed window's slot is free again; with all ten taken, or no folder, it takes slot 0.
class WindowSlot {
  public:
    explicit WindowSlot(const QString& folder = defaultFolder());

    int index() const { return index_; }

    static QString defaultFolder();

  private:
    std::unique_ptr<QLockFile> lock_;
    int index_ = 0;
};
