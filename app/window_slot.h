#pragma once

#include <QString>

#include <memory>

class QLockFile;

// Which of the user's open windows this program's is: 0 for the first, 1 for one opened
// while the first is still open, and so on. Each window holds a lock file named after its
// slot in `folder` (the user's runtime folder unless a test gives another) for as long as
// it lives; the lowest slot that no running program holds is taken, so the slot of a
// closed or crashed window is free again. With every slot taken, or no folder to lock in,
// the window takes slot 0.
class WindowSlot {
  public:
    static constexpr int kSlots = 10;

    explicit WindowSlot(const QString& folder = defaultFolder());
    ~WindowSlot();
    WindowSlot(const WindowSlot&) = delete;
    WindowSlot& operator=(const WindowSlot&) = delete;

    int index() const { return index_; }

    static QString defaultFolder();

  private:
    std::unique_ptr<QLockFile> lock_;
    int index_ = 0;
};
