#include "completion/CompletionKeys.h"

#include "editbox/EditBox.h"
#include "editbox/VirtualKey.h"
#include "undo/clsUndo.h"

namespace CompletionKeys {

Action route(bool listOpen, int keyCode, int shift)
{
    // With Ctrl or Alt held a key keeps its own meaning (Ctrl+Home, Alt+Up).
    if (!listOpen || (shift & 6) != 0)
        return Action::Type;
    switch (keyCode) {
    case VirtualKey::Up:
        return Action::Up;
    case VirtualKey::Down:
        return Action::Down;
    case VirtualKey::Prior:
        return Action::PageUp;
    case VirtualKey::Next:
        return Action::PageDown;
    case VirtualKey::Tab:
    case VirtualKey::Return:
        return Action::Take;
    case VirtualKey::Escape:
        return Action::Close;
    default:
        return Action::Type;
    }
}

bool opensList(int keyCode, int shift)
{
    return keyCode == VirtualKey::Space && shift == 2;
}

void take(clsUndo &undo, EditBox &box, int wordStart, const QString &item)
{
    const int caret = box.SelStart() + box.SelLength();
    box.setSelStart(wordStart);
    box.setSelLength(caret - wordStart);
    undo.InsertText(item, true);
}

} // namespace CompletionKeys
