#pragma once

#include "catalogue/HintRule.h"

#include <QString>

class EditBox;
struct Catalogue;

// The hint for what is being typed where the caret stands.
//
// The word is the run of characters before the caret back to the previous
// space, tab, quote or line start; a closing quote right before the caret is
// stepped over, so a quoted "name" is looked up as name. When the word is a
// value of a catalogued command in the same statement (after "sensitivity",
// or inside the quoted body of a bind or alias), the hint is that command's
// entry, with a note when the value is outside its range.
Hint hintAtCaret(const QString &lineBeforeCaret, const Catalogue &catalogue);

// The same for the caret of an edit box. Reads at most CaretLineLimit
// characters before the caret, so a keystroke costs the same in any document.
Hint hintAtCaret(const EditBox &box, const Catalogue &catalogue);

inline constexpr int CaretLineLimit = 1024;
