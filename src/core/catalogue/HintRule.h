#pragma once

#include <QString>

// What the hint line shows for the word at the caret.
struct Hint
{
    // The word the caret stands in or after.
    QString word;
    // The hint line: the word's catalogue entry, else the document's alias
    // of that name, else the word itself; nothing for an empty word.
    QString caption;
    // What applies at start-up for the setting at the caret, shown after
    // the caption where the line has room; empty when nothing is known.
    QString startup;
};
