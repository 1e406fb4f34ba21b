#include "app/window_slot.h"

#include <QDir>
#include <QStandardPaths>

WindowSlot::WindowSlot(const QString& folder) {
    constexpr int kSlots = 10;
    for (int slot = 0; slot < kSlots; ++slot) {
        auto lock = std::make_unique<QLockFile>(
            QDir(folder).filePath(QStringLiteral("tamsel-window-%1.lock").arg(slot)));
        // A window stays open for hours; only a holder that no longer runs frees a slot.
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            lock_ = std::move(lock);
            index_ = slot;
            return;
        }
    }
}

QString WindowSlot::defaultFolder() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}
