#pragma once

#include <Qt>

// Windows virtual-key codes, the key codes the editor's key handling
// speaks, and their translation from Qt's keys.
namespace VirtualKey {

enum Code : int {
    Back = 8, Tab = 9, Return = 13, ShiftKey = 16, ControlKey = 17, Menu = 18, Pause = 19,
    Capital = 20, Escape = 27, Space = 32, Prior = 33, Next = 34, End = 35, Home = 36,
    Left = 37, Up = 38, Right = 39, Down = 40, Insert = 45, Delete = 46,
    Numpad0 = 96, Multiply = 106, Add = 107, Subtract = 109, Decimal = 110, Divide = 111,
    F1 = 112, NumLock = 144, Scroll = 145,
    Oem1 = 186, OemPlus = 187, OemComma = 188, OemMinus = 189, OemPeriod = 190, Oem2 = 191,
    Oem3 = 192, Oem4 = 219, Oem5 = 220, Oem6 = 221, Oem7 = 222,
    // A key with no virtual-key code of its own; never 0, which means "cancelled".
    Unmapped = 255,
};

// The virtual-key code of a Qt key; keypad keys by their keypad codes.
int fromQtKey(int qtKey, Qt::KeyboardModifiers modifiers);

// Shift 1, Ctrl 2, Alt 4.
int shiftState(Qt::KeyboardModifiers modifiers);

} // namespace VirtualKey
