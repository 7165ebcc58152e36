#pragma once

#include "catalogue/HintRule.h"

#include <QString>

class AliasIndex;
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
// A name the catalogue lacks is looked up among the document's aliases.
Hint hintAtCaret(const QString &lineBeforeCaret, const Catalogue &catalogue, const AliasIndex *aliases = nullptr);

// The same for the caret of an edit box. Reads at most CaretLineLimit
// characters before the caret, so a keystroke costs the same in any document.
Hint hintAtCaret(const EditBox &box, const Catalogue &catalogue, const AliasIndex *aliases = nullptr);

inline constexpr int CaretLineLimit = 1024;
