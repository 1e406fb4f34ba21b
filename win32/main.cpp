#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <string>

#include "win32/form_window.h"
#include "win32/wide_text.h"
#include "win32/win32_desktop.h"

#ifndef TAMSEL_HOMEPAGE
#define TAMSEL_HOMEPAGE ""
#endif

namespace {

// The folder of the running executable, UTF-8, with its trailing separator.
std::string ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return tamsel::win32::Narrow(path.substr(0, path.find_last_of(L"\\/") + 1));
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // The open-file dialog, the shell and the picture decoder are COM objects.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    tamsel::win32::Win32Desktop desktop;
    tamsel::win32::FormWindow form(desktop, ProgramFolder(), TAMSEL_HOMEPAGE);
    if (!form.Create(instance)) {
        return 1;
    }
    desktop.SetOwner(form.Handle());
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!form.TranslateForWindow(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    CoUninitialize();
    return 0;
}
