#pragma once

#include <QString>

class EditBox;
struct Catalogue;

// What the hint line shows for the document in an edit box.
struct Hint
{
    // The document's last word in rich-text form: what follows its last
    // space, escaped as the box's TextRTF writes it (line breaks as "\par"
    // and CR LF); the whole document when it holds no space.
    QString word;
    // The hint line: the word's catalogue entry, the word itself when it
    // has none, or nothing for an empty word.
    QString caption;
};

// Reads only the document's end, so a keystroke costs the same in any size of document.
Hint hintFor(const EditBox &box, const Catalogue &catalogue);
