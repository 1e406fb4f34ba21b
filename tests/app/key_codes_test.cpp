#include "app/key_codes.h"

#include <QKeyEvent>

#include <gtest/gtest.h>

namespace {

struct KeyCase {
    int qtKey;
    Qt::KeyboardModifiers modifiers;
    int code;
    int shift;
};

TEST(ToKeyEvent, MapsTheKeysThePathBoxesReactTo) {
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const KeyCase cases[] = {
        {Qt::Key_Return, none, 13, 0},
        {Qt::Key_Enter, Qt::KeypadModifier, 13, 0},
        {Qt::Key_F2, none, 113, 0},
        {Qt::Key_Backslash, none, 220, 0},
#ifdef _WIN32
        {Qt::Key_Slash, none, 191, 0},
#else
        {Qt::Key_Slash, none, 220, 0},  // the separator key here
#endif
        {Qt::Key_Slash, Qt::KeypadModifier, 111, 0},
        {Qt::Key_Period, none, 190, 0},
        {Qt::Key_Period, Qt::KeypadModifier, 110, 0},
        {Qt::Key_A, none, 65, 0},
        {Qt::Key_Z, Qt::ShiftModifier, 90, 1},
        {Qt::Key_V, Qt::ControlModifier, 86, 2},
        {Qt::Key_L, Qt::AltModifier, 76, 4},
        {Qt::Key_0, none, 48, 0},
        {Qt::Key_9, Qt::ControlModifier | Qt::ShiftModifier, 57, 3},
        {Qt::Key_1, Qt::KeypadModifier, 97, 0},  // keypad digits are other keys
        {Qt::Key_Minus, none, 189, 0},
        {Qt::Key_Space, none, 32, 0},
        {Qt::Key_Backspace, none, 8, 0},
        {Qt::Key_Delete, none, 46, 0},
        {Qt::Key_Left, none, 37, 0},
        {Qt::Key_Down, Qt::KeypadModifier, 40, 0},  // the keypad's arrows, Num Lock off
        {Qt::Key_Down, none, 40, 0},
        {Qt::Key_Escape, none, 27, 0},
        {Qt::Key_Exclam, Qt::ShiftModifier, 0, 1},  // Shift+1 on a US layout
        {Qt::Key_Adiaeresis, none, 0, 0},
        {Qt::Key_A, Qt::MetaModifier, 65, 0},  // only Shift, Ctrl and Alt count
    };
    for (const auto& c : cases) {
        const tamsel::KeyEvent key = ToKeyEvent(QKeyEvent(QEvent::KeyPress, c.qtKey, c.modifiers));
        EXPECT_EQ(key.code, c.code) << "Qt key " << std::hex << c.qtKey;
        EXPECT_EQ(key.shift, c.shift) << "Qt key " << std::hex << c.qtKey;
    }
}

}  // namespace
