// Names for screen readers. A reader names a box by the label standing right before it in
// the z-order (the layout creates each label before its box); the "..." buttons and the
// boxes get their names, and the credit line its role as a link, through the system's
// annotations of window properties, which last until the window clears them.

#include <initguid.h>

#include <oleacc.h>
#include <wrl/client.h>

#include "win32/form_window.h"

namespace tamsel::win32 {

namespace {

// The system's annotation service; nothing is annotated when it is missing.
Microsoft::WRL::ComPtr<IAccPropServices> Annotations() {
    Microsoft::WRL::ComPtr<IAccPropServices> services;
    CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                     &services);
    return services;
}

}  // namespace

void FormWindow::NameForScreenReaders() {
    const auto services = Annotations();
    const auto name = [&services](HWND control, const char* text) {
        if (services && control) {
            services->SetHwndPropStr(control, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME,
                                     Widen(text).c_str());
        }
    };
    for (const PathBoxRow& box : PathBoxes()) {
        name(Box(box.input), box.spokenBox);
        name(Control(box.button), box.spokenButton);
    }
    name(Control("cboFolder"), FindControl("lblFolder")->caption);
    if (services && Control("lblCredits")) {
        VARIANT role{};
        role.vt = VT_I4;
        role.lVal = ROLE_SYSTEM_LINK;
        services->SetHwndProp(Control("lblCredits"), OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_ROLE,
                              role);
    }
}

void FormWindow::ForgetScreenReaderNames() {
    const auto services = Annotations();
    const auto clear = [&services](HWND control) {
        static const MSAAPROPID kProps[] = {PROPID_ACC_NAME, PROPID_ACC_ROLE};
        if (services && control) {
            services->ClearHwndProps(control, OBJID_CLIENT, CHILDID_SELF, kProps, 2);
        }
    };
    for (const PathBoxRow& box : PathBoxes()) {
        clear(Box(box.input));
        clear(Control(box.button));
    }
    clear(Control("cboFolder"));
    clear(Control("lblCredits"));
}

}  // namespace tamsel::win32
