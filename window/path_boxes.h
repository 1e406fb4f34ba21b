#pragma once

// The window's two path boxes as one table: every command is written once for both.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "convert/conversion_run.h"

namespace tamsel {

struct PathBoxRow {
    RunInput input;
    const char* box;               // object names of the controls, e.g. "txtFile0" for txtFile(0)
    const char* label;             // lblFile(Index), whose click opens the path's folder
    const char* button;            // btnOpen(Index), whose click browses
    const char* caption;           // the label's caption
    const char* dialogTitle;       // the open-file dialog's title
    const char* filter;            // the dialog's filter: "description|pattern|..." pairs
    const char* defaultFile;       // found in the program's folder at start-up; "/" separates
    std::string RunPaths::*feeds;  // the run input the box's text becomes
    const char* spokenBox;         // what a screen reader calls the box: its label's words
    const char* spokenButton;      // what it calls the box's browse button, whose caption is "..."
};

inline constexpr std::size_t kPathBoxCount = 2;

// Both boxes, in Index order: the link list, then the menu file.
std::span<const PathBoxRow, kPathBoxCount> PathBoxes();

const PathBoxRow& PathBoxOf(RunInput input);

// The row whose control in `column` (box, label or button) is named `name`, or nullptr.
const PathBoxRow* FindPathBox(std::string_view name,
                              const char* PathBoxRow::*column = &PathBoxRow::box);

}  // namespace tamsel
