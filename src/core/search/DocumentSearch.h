#pragma once

#include <QString>

class EditBox;
class clsUndo;

// Searching and replacing from the caret, as a desktop editor does.

struct SearchOptions
{
    bool matchCase = false;
    // A match must not have a letter, digit or underscore right before or after it.
    bool wholeWord = false;
};

struct FoundAt
{
    int position = -1; // -1: not found
    // The search passed the end (the start, searching back) and went on from the other end.
    bool wrapped = false;
};

// Selects the next occurrence after the selection (forward) or the one
// before it, going round the document once. The selection stays when
// nothing is found.
FoundAt findNext(EditBox &box, const QString &text, bool forward, SearchOptions options = {});

// Where the occurrences of `text` start in `document`, not overlapping.
QList<int> occurrences(const QString &document, const QString &text, SearchOptions options);

// How many occurrences there are, and which of them (from 1) starts at the
// selection; 0 when the selection is none of them.
struct MatchCount
{
    int number = 0;
    int total = 0;
};
MatchCount countAt(const QList<int> &starts, int selectionStart);

// Replace: the selection, when it is an occurrence, is replaced as one
// undo element; then the next occurrence is selected. Returns whether one
// was replaced.
bool replaceSelected(clsUndo &undo, EditBox &box, const QString &text, const QString &replacement,
                     SearchOptions options, FoundAt &next);

// Replace All: every occurrence, as one undo element; returns how many.
int replaceAll(clsUndo &undo, EditBox &box, const QString &text, const QString &replacement, SearchOptions options);
