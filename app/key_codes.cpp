#include "app/key_codes.h"

#include <QKeyEvent>

#include "window/virtual_keys.h"

namespace {

namespace vk = tamsel::vk;

int ShiftState(Qt::KeyboardModifiers modifiers) {
    int state = 0;
    if (modifiers & Qt::ShiftModifier) {
        state |= vk::kShiftHeld;
    }
    if (modifiers & Qt::ControlModifier) {
        state |= vk::kControlHeld;
    }
    if (modifiers & Qt::AltModifier) {
        state |= vk::kAltHeld;
    }
    return state;
}

int KeypadCode(int qtKey) {
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        return vk::kNumpad0 + (qtKey - Qt::Key_0);
    }
    switch (qtKey) {
        case Qt::Key_Enter:
        case Qt::Key_Return:
            return vk::kEnter;
        case Qt::Key_Period:
        case Qt::Key_Comma:
            return vk::kDecimal;
        case Qt::Key_Asterisk:
            return 106;
        case Qt::Key_Plus:
            return 107;
        case Qt::Key_Minus:
            return 109;
        case Qt::Key_Slash:
            return 111;
        default:
            return 0;
    }
}

// Keys outside the main block's printable range that a user is likely to press while
// editing; they get their own codes so that none of them is mistaken for a key that starts
// a completion.
int EditingKeyCode(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Backspace:
            return vk::kBackspace;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return vk::kTab;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return vk::kEnter;
        case Qt::Key_Shift:
            return vk::kShift;
        case Qt::Key_Control:
            return vk::kControl;
        case Qt::Key_Alt:
            return vk::kAlt;
        case Qt::Key_Escape:
            return vk::kEscape;
        case Qt::Key_Space:
            return vk::kSpace;
        case Qt::Key_PageUp:
            return vk::kPageUp;
        case Qt::Key_PageDown:
            return vk::kPageDown;
        case Qt::Key_End:
            return vk::kEnd;
        case Qt::Key_Home:
            return vk::kHome;
        case Qt::Key_Left:
            return vk::kLeft;
        case Qt::Key_Up:
            return vk::kUp;
        case Qt::Key_Right:
            return vk::kRight;
        case Qt::Key_Down:
            return vk::kDown;
        case Qt::Key_Insert:
            return vk::kInsert;
        case Qt::Key_Delete:
            return vk::kDelete;
        case Qt::Key_Semicolon:
            return 186;
        case Qt::Key_Equal:
            return 187;
        case Qt::Key_Comma:
            return 188;
        case Qt::Key_Minus:
            return 189;
        case Qt::Key_Period:
            return vk::kPeriod;
        case Qt::Key_Backslash:
            return vk::kBackslash;
        case Qt::Key_Slash:
#ifdef _WIN32
            return vk::kSlash;
#else
            return vk::kBackslash;
#endif
        default:
            return 0;
    }
}

}  // namespace

VirtualKey ToVirtualKey(int qtKey, Qt::KeyboardModifiers modifiers) {
    VirtualKey key;
    key.shift = ShiftState(modifiers);
    const int keypadCode = (modifiers & Qt::KeypadModifier) ? KeypadCode(qtKey) : 0;
    if (keypadCode != 0) {
        key.code = keypadCode;
    } else if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
        key.code = vk::kFirstLetter + (qtKey - Qt::Key_A);
    } else if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        key.code = vk::kFirstDigit + (qtKey - Qt::Key_0);
    } else if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) {
        key.code = vk::kF1 + (qtKey - Qt::Key_F1);
    } else {
        key.code = EditingKeyCode(qtKey);
    }
    return key;
}

VirtualKey ToVirtualKey(const QKeyEvent& event) {
    return ToVirtualKey(event.key(), event.modifiers());
}

int KeyIdentity(const QKeyEvent& event) {
    const quint32 identity = event.nativeScanCode() != 0
                                 ? event.nativeScanCode()
                                 : static_cast<quint32>(event.key()) | 0x80000000U;
    return static_cast<int>(identity);
}

tamsel::KeyTime KeyEventTime(const QKeyEvent& event) {
    if (event.timestamp() == 0) {
        return std::nullopt;
    }
    return event.timestamp();
}

tamsel::KeyEvent ToKeyEvent(const QKeyEvent& event) {
    const VirtualKey key = ToVirtualKey(event);
    return {key.code, key.shift, KeyEventTime(event), event.isAutoRepeat(), KeyIdentity(event)};
}
