#include "editbox/VirtualKey.h"

namespace VirtualKey {

int shiftState(Qt::KeyboardModifiers modifiers)
{
    int shift = 0;
    if (modifiers & Qt::ShiftModifier)
        shift |= 1;
    if (modifiers & Qt::ControlModifier)
        shift |= 2;
    if (modifiers & Qt::AltModifier)
        shift |= 4;
    return shift;
}

int fromQtKey(int key, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::KeypadModifier) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9)
            return Numpad0 + (key - Qt::Key_0);
        switch (key) {
        case Qt::Key_Asterisk: return Multiply;
        case Qt::Key_Plus: return Add;
        case Qt::Key_Minus: return Subtract;
        case Qt::Key_Period:
        case Qt::Key_Comma: return Decimal;
        case Qt::Key_Slash: return Divide;
        default: break;
        }
    }
    // Letters and digits share their codes with Qt.
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return key;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return F1 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace: return Back;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return Return;
    case Qt::Key_Shift: return ShiftKey;
    case Qt::Key_Control: return ControlKey;
    case Qt::Key_Alt: return Menu;
    case Qt::Key_Pause: return Pause;
    case Qt::Key_CapsLock: return Capital;
    case Qt::Key_Escape: return Escape;
    case Qt::Key_Space: return Space;
    case Qt::Key_PageUp: return Prior;
    case Qt::Key_PageDown: return Next;
    case Qt::Key_End: return End;
    case Qt::Key_Home: return Home;
    case Qt::Key_Left: return Left;
    case Qt::Key_Up: return Up;
    case Qt::Key_Right: return Right;
    case Qt::Key_Down: return Down;
    case Qt::Key_Insert: return Insert;
    case Qt::Key_Delete: return Delete;
    case Qt::Key_NumLock: return NumLock;
    case Qt::Key_ScrollLock: return Scroll;
    // Shifted digits of a US layout report the digit key.
    case Qt::Key_Exclam: return Qt::Key_1;
    case Qt::Key_At: return Qt::Key_2;
    case Qt::Key_NumberSign: return Qt::Key_3;
    case Qt::Key_Dollar: return Qt::Key_4;
    case Qt::Key_Percent: return Qt::Key_5;
    case Qt::Key_AsciiCircum: return Qt::Key_6;
    case Qt::Key_Ampersand: return Qt::Key_7;
    case Qt::Key_ParenLeft: return Qt::Key_9;
    case Qt::Key_ParenRight: return Qt::Key_0;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon: return Oem1;
    case Qt::Key_Equal:
    case Qt::Key_Plus: return OemPlus;
    case Qt::Key_Comma:
    case Qt::Key_Less: return OemComma;
    case Qt::Key_Minus:
    case Qt::Key_Underscore: return OemMinus;
    case Qt::Key_Period:
    case Qt::Key_Greater: return OemPeriod;
    case Qt::Key_Slash:
    case Qt::Key_Question: return Oem2;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde: return Oem3;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return Oem4;
    case Qt::Key_Backslash:
    case Qt::Key_Bar: return Oem5;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return Oem6;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl: return Oem7;
    case Qt::Key_Asterisk: return Qt::Key_8;
    default: return Unmapped;
    }
}

} // namespace VirtualKey
