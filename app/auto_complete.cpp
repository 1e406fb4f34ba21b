#include "app/auto_complete.h"

#include <algorithm>
#include <optional>
#include <string>

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QStringList>
#include <QStringListModel>

#include "app/key_codes.h"
#include "support/folder_listing.h"

namespace {

constexpr int kShortestTyped = 3;
constexpr int kLongestTyped = 249;
constexpr unsigned kListingMask = tamsel::kListEverything;  // 23

// Suspends drawing of a window for as long as it lives, so that emptying and refilling a
// list costs one repaint; restores the previous state on every way out.
class DrawingSuspension {
  public:
    explicit DrawingSuspension(QWidget* window)
        : window_(window), wasEnabled_(window->updatesEnabled()) {
        window_->setUpdatesEnabled(false);
    }
    ~DrawingSuspension() {
        if (window_ && wasEnabled_) {
            window_->setUpdatesEnabled(true);
        }
    }
    DrawingSuspension(const DrawingSuspension&) = delete;
    DrawingSuspension& operator=(const DrawingSuspension&) = delete;

  private:
    QPointer<QWidget> window_;
    bool wasEnabled_;
};

// Where the selection starts, or the caret when nothing is selected.
int SelStart(const QLineEdit& edit) {
    return edit.hasSelectedText() ? edit.selectionStart() : edit.cursorPosition();
}

// The text to complete, or nothing when the key, the caret or the length rules it out.
std::optional<QString> TypedText(const QLineEdit& edit, int keyCode, int shift) {
    if (!StartsCompletion(keyCode, shift) || SelStart(edit) < edit.text().size()) {
        return std::nullopt;
    }
    QString typed = edit.text();
    if (typed.size() < kShortestTyped || typed.size() > kLongestTyped) {
        return std::nullopt;
    }
    return typed;
}

// Starts the listing of the typed text's folder and returns its first name that is not one
// of the "." and ".." entries leading it.
std::string FirstMatch(tamsel::FolderListing& listing, const std::string& typed) {
    std::string match = listing.Start(typed + "*.*", kListingMask);
    while (match == "." || match == "..") {
        match = listing.Next();
    }
    return match;
}

QString FolderPart(const std::string& typed) {
    return QString::fromStdString(tamsel::ListingFolderPart(typed));
}

void WriteBack(QLineEdit& edit, const QString& typed, const QString& suggestion, int keyCode) {
    if (keyCode == vk::kBackslash || suggestion.isEmpty()) {
        edit.setText(typed);
        edit.setCursorPosition(edit.text().size());
        return;
    }
    edit.setText(suggestion);
    const int length = edit.text().size();
    // A wildcard can make the suggestion shorter than what was typed: then the caret
    // simply goes to the end.
    const int typedPart = std::min<int>(typed.size(), length);
    if (edit.text() == typed || typedPart == length) {
        edit.setCursorPosition(length);
        return;
    }
    // Selected backwards, so that the caret stands behind the typed part and the next
    // character typed replaces the added ones.
    edit.setSelection(length, typedPart - length);
}

}  // namespace

bool IsCompletionTail(int selStart, int selLength, int textLength) {
    return selLength > 0 && selStart > 0 && selStart + selLength == textLength;
}

bool StartsCompletion(int keyCode, int shift) {
    if (keyCode == vk::kPeriod || keyCode == vk::kBackslash) {
        return true;
    }
    if (keyCode >= vk::kFirstLetter && keyCode <= vk::kLastLetter) {
        return true;
    }
    return keyCode >= vk::kFirstDigit && keyCode <= vk::kLastDigit && shift == 0;
}

void AutoComplete(QLineEdit& ctl, int& keyCode, int shift) {
    const std::optional<QString> typed = TypedText(ctl, keyCode, shift);
    if (!typed) {
        return;
    }
    const std::string typedPath = typed->toStdString();
    tamsel::FolderListing listing;
    const std::string match = FirstMatch(listing, typedPath);
    QString suggestion;
    if (!match.empty()) {
        suggestion = FolderPart(typedPath) + QString::fromStdString(match);
    }
    WriteBack(ctl, *typed, suggestion, keyCode);
    keyCode = 0;
}

void AutoComplete(QComboBox& ctl, int& keyCode, int shift) {
    QLineEdit* edit = ctl.lineEdit();
    if (edit == nullptr) {
        return;
    }
    const std::optional<QString> typed = TypedText(*edit, keyCode, shift);
    if (!typed) {
        return;
    }
    const std::string typedPath = typed->toStdString();
    tamsel::FolderListing listing;
    std::string match = FirstMatch(listing, typedPath);
    {
        DrawingSuspension suspended(ctl.window());
        ctl.clear();
        const QString folderPart = FolderPart(typedPath);
        QStringList entries;
        for (; !match.empty(); match = listing.Next()) {
            entries.append(folderPart + QString::fromStdString(match));
        }
        // One model update for the whole list: an update per entry would make a large folder
        // crawl. A string list model takes it as a single reset, half the cost of the
        // default model's one insertion at 100,000 entries.
        if (auto* model = qobject_cast<QStringListModel*>(ctl.model())) {
            model->setStringList(entries);
        } else {
            ctl.addItems(entries);
        }
        if (ctl.count() > 0) {
            ctl.showPopup();
        } else {
            ctl.hidePopup();
        }
    }
    QString suggestion;
    if (ctl.count() > 0) {
        suggestion = ctl.itemText(0);
    }
    WriteBack(*edit, *typed, suggestion, keyCode);
    keyCode = 0;
}
