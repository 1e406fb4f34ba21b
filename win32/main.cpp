#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "win32/form_window.h"
#include "win32/win32_desktop.h"

#ifndef TAMSEL_HOMEPAGE
#define TAMSEL_HOMEPAGE ""
#endif

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // The open-file dialog, the shell and the picture decoder are COM objects.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    tamsel::win32::Win32Desktop desktop;
    tamsel::win32::FormWindow form(desktop, {}, TAMSEL_HOMEPAGE);
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
