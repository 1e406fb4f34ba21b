#include "app/key_codes.h"

#include <QKeyEvent>

#include <utility>

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
// a completion. On POSIX the slash key is the separator key.
// clang-format off
constexpr std::pair<int, int> kEditingKeys[] = {
    {Qt::Key_Backspace, vk::kBackspace}, {Qt::Key_Tab, vk::kTab},
    {Qt::Key_Backtab, vk::kTab},         {Qt::Key_Return, vk::kEnter},
    {Qt::Key_Enter, vk::kEnter},         {Qt::Key_Shift, vk::kShift},
    {Qt::Key_Control, vk::kControl},     {Qt::Key_Alt, vk::kAlt},
    {Qt::Key_Escape, vk::kEscape},       {Qt::Key_Space, vk::kSpace},
    {Qt::Key_PageUp, vk::kPageUp},       {Qt::Key_PageDown, vk::kPageDown},
    {Qt::Key_End, vk::kEnd},             {Qt::Key_Home, vk::kHome},
    {Qt::Key_Left, vk::kLeft},           {Qt::Key_Up, vk::kUp},
    {Qt::Key_Right, vk::kRight},         {Qt::Key_Down, vk::kDown},
    {Qt::Key_Insert, vk::kInsert},       {Qt::Key_Delete, vk::kDelete},
    {Qt::Key_Semicolon, 186},            {Qt::Key_Equal, 187},
    {Qt::Key_Comma, 188},                {Qt::Key_Minus, 189},
    {Qt::Key_Period, vk::kPeriod},       {Qt::Key_Backslash, vk::kBackslash},
#ifdef _WIN32
    {Qt::Key_Slash, vk::kSlash},
#else
    {Qt::Key_Slash, vk::kBackslash},
#endif
};
// clang-format on

int EditingKeyCode(int qtKey) {
    for (const auto& [qt, code] : kEditingKeys) {
        if (qt == qtKey) {
            return code;
        }
    }
    return 0;
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
