#pragma once

#include <QString>

class clsUndo;
class EditBox;

// Which keys an open completion list takes. While it is closed every key
// does what it always does; while it is open only moving through the list,
// taking an item and closing go to it, and every other key types as usual
// and narrows the list.
namespace CompletionKeys {

enum class Action { Type, Up, Down, PageUp, PageDown, Take, Close };

// What a key (a Windows virtual-key code, Shift bits 1 Shift, 2 Ctrl, 4 Alt)
// does with the list open or closed.
Action route(bool listOpen, int keyCode, int shift);

// Ctrl+Space opens the list at once.
bool opensList(int keyCode, int shift);

// Replaces the word being typed, from `wordStart` to the caret, with
// `item`, as one undo element.
void take(clsUndo &undo, EditBox &box, int wordStart, const QString &item);

} // namespace CompletionKeys
