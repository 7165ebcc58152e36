#include "undo/ScrollToLine.h"

#include "editbox/EditBox.h"

void ScrollToLine(int line, EditBox &box)
{
    using Action = EditBox::ScrollAction;
    // Paging back over a long document costs a layout per page.
    if (box.scrollToFirstLine(line))
        return;
    const int count = box.LineCount();
    int first = box.FirstVisibleLine();
    int last = 0;
    if (line >= first) {
        while (first <= line) {
            box.Scroll(Action::PageDown);
            first = box.FirstVisibleLine();
            if (first == 0 || first == count || first == last)
                break;
            last = first;
        }
    } else {
        // Stops also when paging up no longer moves the view, which would
        // otherwise loop for ever.
        while (first >= line) {
            box.Scroll(Action::PageUp);
            const int before = first;
            first = box.FirstVisibleLine();
            if (first == 0 || first == count || first == before)
                break;
        }
    }
    while (first != line) {
        box.Scroll(line > first ? Action::LineDown : Action::LineUp);
        first = box.FirstVisibleLine();
        if (first == 0 || first == count || first == last)
            break;
        last = first;
    }
}
