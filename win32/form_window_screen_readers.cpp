// Names for screen readers. A reader names a box by the label standing right before it in
// the z-order (the layout creates each label before its box); the "..." buttons and the
// boxes get their names, and the credit line its role as a link, through the system's
// annotations of window properties, which last until the window clears them.

#include <initguid.h>

#include <oleacc.h>
#include <wrl/client.h>

#include "win32/form_window.h"
#include "win32/wide_text.h"

namespace tamsel::win32 {

namespace {

// The system's annotation service; nothing is annotated when it is missing.
class Annotations {
  public:
    Annotations() {
        CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                         &services_);
    }

    void Name(HWND control, const char* name) {
        if (services_ && control) {
            services_->SetHwndPropStr(control, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME,
                                      Widen(name).c_str());
        }
    }
    void Role(HWND control, long role) {
        if (services_ && control) {
            VARIANT value{};
            value.vt = VT_I4;
            value.lVal = role;
            services_->SetHwndProp(control, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_ROLE, value);
        }
    }
    void Clear(HWND control) {
        static const MSAAPROPID kProps[] = {PROPID_ACC_NAME, PROPID_ACC_ROLE};
        if (services_ && control) {
            services_->ClearHwndProps(control, OBJID_CLIENT, CHILDID_SELF, kProps, 2);
        }
    }

  private:
    Microsoft::WRL::ComPtr<IAccPropServices> services_;
};

}  // namespace

void FormWindow::NameForScreenReaders() {
    Annotations annotations;
    for (const PathBoxRow& box : PathBoxes()) {
        annotations.Name(Box(box.input), box.spokenBox);
        annotations.Name(Control(box.button), box.spokenButton);
    }
    annotations.Name(Control("cboFolder"), FindControl("lblFolder")->caption);
    annotations.Role(Control("lblCredits"), ROLE_SYSTEM_LINK);
}

void FormWindow::ForgetScreenReaderNames() {
    Annotations annotations;
    for (const PathBoxRow& box : PathBoxes()) {
        annotations.Clear(Box(box.input));
        annotations.Clear(Control(box.button));
    }
    annotations.Clear(Control("cboFolder"));
    annotations.Clear(Control("lblCredits"));
}

}  // namespace tamsel::win32
