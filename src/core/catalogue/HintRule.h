#pragma once

#include <QString>

class AliasIndex;
class EditBox;
struct Catalogue;

// What the hint line shows for the document in an edit box.
struct Hint
{
    // The document's last word in rich-text form: what follows its last
    // space, escaped as the box's TextRTF writes it (line breaks as "\par"
    // and CR LF); the whole document when it holds no space. A word of more
    // than the limit's characters comes cut to its beginning.
    QString word;
    // The hint line: the word's catalogue entry, else the document's alias
    // of that name, else the word itself; nothing for an empty word.
    QString caption;
    // What applies at start-up for the setting at the caret, shown after
    // the caption where the line has room; empty when nothing is known.
    QString startup;
};

// No more of a word than the Quick Search box can hold is ever shown; a
// catalogue name is at most 126 characters, so a longer word names nothing.
inline constexpr int HintWordLimit = 32767;

// Reads only the document's end, so a keystroke costs the same in any size of document.
Hint hintFor(const EditBox &box, const Catalogue &catalogue, int limit = HintWordLimit,
             const AliasIndex *aliases = nullptr);
