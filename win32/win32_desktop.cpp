#include "win32/win32_desktop.h"

#include <commdlg.h>
// shellapi.h and shlwapi.h need the types of windows.h first.
#include <shellapi.h>
#include <shlwapi.h>

#include <vector>

#include "win32/wide_text.h"

namespace tamsel::win32 {

namespace {

// Long enough for the longest path the system accepts (one file is chosen at a time).
constexpr DWORD kPathBufferSize = 32768;

// Whether the shell found a program for `target` and started it.
bool Execute(const std::wstring& target, const wchar_t* parameters = nullptr) {
    const HINSTANCE started =
        ShellExecuteW(nullptr, nullptr, target.c_str(), parameters, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(started) > 32;
}

// The local path of a file URL; empty for any other address.
std::wstring LocalPathOf(const std::wstring& address) {
    if (address.rfind(L"file:", 0) != 0) {
        return {};
    }
    std::vector<wchar_t> path(kPathBufferSize, L'\0');
    DWORD size = static_cast<DWORD>(path.size());
    if (PathCreateFromUrlW(address.c_str(), path.data(), &size, 0) != S_OK) {
        return {};
    }
    return path.data();
}

}  // namespace

std::string ShellFolderTarget(std::string_view folder) {
    const std::size_t kept = folder.find_last_not_of("\\/");
    if (kept == std::string_view::npos) {
        return folder.empty() ? std::string() : std::string(1, folder.front());
    }
    std::string target(folder.substr(0, kept + 1));
    if (target.back() == ':' && kept + 1 < folder.size()) {
        target += folder[kept + 1];
    }
    return target;
}

std::string Win32Desktop::ShowOpenDialog(const OpenDialogRequest& request) {
    // The filter's own NULs separate its pairs; c_str() adds the second closing NUL.
    const std::wstring filter = Widen(NulSeparatedFilter(request.barFilter));
    const std::wstring title = Widen(request.title);
    const std::wstring initialFolder = Widen(request.initialFolder);
    std::vector<wchar_t> file(kPathBufferSize, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner_;
    dialog.hInstance = GetModuleHandleW(nullptr);
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&dialog)) {
        return {};
    }
    return Narrow(std::wstring_view(file.data()));  // the path ends at its NUL
}

void Win32Desktop::OpenFolder(const std::string& folder) {
    Execute(Widen(ShellFolderTarget(folder)));
}

void Win32Desktop::OpenAddress(const std::string& address) {
    const std::wstring target = Widen(address);
    const std::wstring file = LocalPathOf(target);
    if (file.empty()) {
        Execute(target);
        return;
    }
    // A local file goes by its path: as a URL it reaches a program only through a browser.
    // A file that no program takes (the README where nothing opens .md) shows selected in
    // its folder instead, so that a click always opens something.
    if (!Execute(file)) {
        Execute(L"explorer.exe", (L"/select,\"" + file + L"\"").c_str());
    }
}

}  // namespace tamsel::win32
