#pragma once

#include "gui/dialogs/frmFind.h"
#include "search/DocumentSearch.h"

#include <QRect>

class RichTextBox;

// What the find dialog shows in the document while it is open: every match
// marked with an indicator, the current one towards the middle of the view.
namespace MatchMarks {

// Past the editor's own colour and problem marks (8 to 12), which clearing this one must not touch.
inline constexpr int Indicator = 13;
// More marks than this are not drawn; the count still says how many there are.
inline constexpr int MostMarked = 10000;

// Marks every occurrence of `text` and counts them, the selection's among them.
MatchCount mark(RichTextBox &box, const QString &text, SearchOptions options);
void clear(RichTextBox &box);
// A caret line outside the middle half of the view is scrolled to its middle.
void centre(RichTextBox &box);
// The selection's place on the screen, or the caret's.
QRect selectionOnScreen(const RichTextBox &box);

// The find dialog's actions over the box in front: `find` searches and
// selects, then every match is marked and the one found brought towards
// the middle of the view.
frmFind::Actions findActions(std::function<RichTextBox &()> box, std::function<void(const QString &, SearchOptions)> find);

} // namespace MatchMarks
