#pragma once

#include <QString>
#include <QStringView>

class EditBox;
class clsUndo;

// Ctrl+/: the lines the selection touches are commented out with "//", or,
// when every one that holds anything is already, brought back. Blank lines
// stay as they are; a line end that the selection ends just after does not
// bring in the line that follows it.
namespace LineComments {

struct Change
{
    // The span of whole lines that changes, and what takes its place.
    int start = 0;
    int length = 0;
    QString text;
    // The selection after the change.
    int selStart = 0;
    int selLength = 0;
    bool changes() const { return length > 0 || !text.isEmpty(); }
};

Change toggled(QStringView text, int selStart, int selLength);

// Through the engine as one element, so one undo takes it back.
void toggle(clsUndo &undo, EditBox &box);

} // namespace LineComments
