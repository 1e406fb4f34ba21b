#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

// Which of the user's open windows this program's is: 0 for the first, 1 for one opened
// while the first is still open, and so on. Each window holds a lock file named after its
// slot in `folder` (the user's runtime folder unless a test gives another) while it lives
// and takes the lowest slot no running program holds, so a closed or crashed window's slot
// is free again. With all ten slots taken, or no folder to lock in, it takes slot 0.
class WindowSlot {
  public:
    explicit WindowSlot(const QString& folder = defaultFolder());

    int index() const { return index_; }

    static QString defaultFolder();

  private:
    std::unique_ptr<QLockFile> lock_;
    int index_ = 0;
};
