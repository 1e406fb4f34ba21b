#include "app/key_codes.h"

#include <QKeyEvent>

namespace {

int ShiftState(Qt::KeyboardModifiers modifiers) {
    int state = 0;
    if (modifiers & Qt::ShiftModifier) {
        state |= 1;
    }
    if (modifiers & Qt::ControlModifier) {
        state |= 2;
    }
    if (modifiers & Qt::AltModifier) {
        state |= 4;
    }
    return state;
}

int KeypadCode(int qtKey) {
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        return 96 + (qtKey - Qt::Key_0);  // VK_NUMPAD0..9
    }
    switch (qtKey) {
        case Qt::Key_Enter:
        case Qt::Key_Return:
            return vk::kEnter;
        case Qt::Key_Period:
        case Qt::Key_Comma:
            return 110;  // VK_DECIMAL
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
            return 8;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return 9;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return vk::kEnter;
        case Qt::Key_Shift:
            return 16;
        case Qt::Key_Control:
            return 17;
        case Qt::Key_Alt:
            return 18;
        case Qt::Key_Escape:
            return 27;
        case Qt::Key_Space:
            return 32;
        case Qt::Key_PageUp:
            return 33;
        case Qt::Key_PageDown:
            return 34;
        case Qt::Key_End:
            return 35;
        case Qt::Key_Home:
            return 36;
        case Qt::Key_Left:
            return 37;
        case Qt::Key_Up:
            return 38;
        case Qt::Key_Right:
            return 39;
        case Qt::Key_Down:
            return 40;
        case Qt::Key_Insert:
            return 45;
        case Qt::Key_Delete:
            return 46;
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
            return 191;
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
    if (modifiers & Qt::KeypadModifier) {
        key.code = KeypadCode(qtKey);
    } else if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
        key.code = vk::kFirstLetter + (qtKey - Qt::Key_A);
    } else if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        key.code = vk::kFirstDigit + (qtKey - Qt::Key_0);
    } else if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) {
        key.code = 112 + (qtKey - Qt::Key_F1);
    } else {
        key.code = EditingKeyCode(qtKey);
    }
    return key;
}

VirtualKey ToVirtualKey(const QKeyEvent& event) {
    return ToVirtualKey(event.key(), event.modifiers());
}
