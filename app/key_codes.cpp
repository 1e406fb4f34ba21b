#include "app/key_codes.h"

#include <QKeyEvent>

#include <algorithm>
#include <span>
#include <utility>

#include "window/virtual_keys.h"

namespace {

namespace vk = tamsel::vk;

using KeyCode = std::pair<int, int>;  // a Qt key and its virtual-key code

// Runs of Qt keys whose codes run alongside them.
struct KeyRun {
    int first;
    int last;
    int code;
};

constexpr KeyRun kKeyRuns[] = {{Qt::Key_A, Qt::Key_Z, vk::kFirstLetter},
                               {Qt::Key_0, Qt::Key_9, vk::kFirstDigit},
                               {Qt::Key_F1, Qt::Key_F24, vk::kF1}};

constexpr KeyRun kKeypadDigits[] = {{Qt::Key_0, Qt::Key_9, vk::kNumpad0}};

// Keypad keys whose codes differ from the main block's.
constexpr KeyCode kKeypadKeys[] = {
    {Qt::Key_Period, vk::kDecimal}, {Qt::Key_Comma, vk::kDecimal},
    {Qt::Key_Asterisk, 106},        {Qt::Key_Plus, 107},
    {Qt::Key_Minus, 109},           {Qt::Key_Slash, 111},
};

// Keys outside the main block's printable range that a user is likely to press while
// editing; they get their own codes so that none of them is mistaken for a key that starts
// a completion. On POSIX the slash key is the separator key.
// clang-format off
constexpr KeyCode kEditingKeys[] = {
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

// The code of `qtKey` in `runs` or else in `keys`; 0 where neither has it.
int CodeOf(int qtKey, std::span<const KeyRun> runs, std::span<const KeyCode> keys) {
    for (const KeyRun& run : runs) {
        if (qtKey >= run.first && qtKey <= run.last) {
            return run.code + (qtKey - run.first);
        }
    }
    const auto key = std::ranges::find(keys, qtKey, &KeyCode::first);
    return key == keys.end() ? 0 : key->second;
}

int VirtualCode(int qtKey, Qt::KeyboardModifiers modifiers) {
    const int keypadCode =
        (modifiers & Qt::KeypadModifier) ? CodeOf(qtKey, kKeypadDigits, kKeypadKeys) : 0;
    return keypadCode != 0 ? keypadCode : CodeOf(qtKey, kKeyRuns, kEditingKeys);
}

}  // namespace

tamsel::KeyEvent ToKeyEvent(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    const int shift = (modifiers & Qt::ShiftModifier ? vk::kShiftHeld : 0) |
                      (modifiers & Qt::ControlModifier ? vk::kControlHeld : 0) |
                      (modifiers & Qt::AltModifier ? vk::kAltHeld : 0);
    const tamsel::KeyTime time =
        event.timestamp() == 0 ? std::nullopt : tamsel::KeyTime(event.timestamp());
    const quint32 identity = event.nativeScanCode() != 0
                                 ? event.nativeScanCode()
                                 : static_cast<quint32>(event.key()) | 0x80000000U;
    return {VirtualCode(event.key(), modifiers), shift, time, event.isAutoRepeat(),
            static_cast<int>(identity)};
}
