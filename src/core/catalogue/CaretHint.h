#pragma once

#include "catalogue/HintRule.h"

#include <QString>

class AliasIndex;
class EditBox;
struct Catalogue;

// The hint for what is being typed where the caret stands.
//
// The word is the run of characters around the caret from the previous
// space, tab, quote or line start to the next one, so a caret inside a word
// explains the whole word; a closing quote right before the caret is stepped
// over, so a quoted "name" is looked up as name. Inside a // comment there is
// no word and no hint. When the word is a
// value of a catalogued command in the same statement (after "sensitivity",
// or inside the quoted body of a bind or alias), the hint is that command's
// entry, with a note when the value is outside its range.
// A name the catalogue lacks is looked up among the document's aliases.
// afterCaret: the rest of the caret's line, or at least of its word.
Hint hintAtCaret(const QString &lineBeforeCaret, const Catalogue &catalogue, const AliasIndex *aliases = nullptr,
                 QStringView afterCaret = {});

// The same for the caret of an edit box. Reads at most CaretLineLimit
// characters before the caret and a name's length after it, so a keystroke
// costs the same in any document.
Hint hintAtCaret(const EditBox &box, const Catalogue &catalogue, const AliasIndex *aliases = nullptr);

inline constexpr int CaretLineLimit = 1024;
