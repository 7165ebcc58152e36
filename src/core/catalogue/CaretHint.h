#pragma once

#include "catalogue/HintRule.h"

#include <QString>

class AliasIndex;
class EditBox;
struct Catalogue;

// What the rest of the player's configuration adds to the hint: aliases
// other files define and what applies at start-up. Lines are the caret's.
class WiderHints
{
public:
    virtual ~WiderHints() = default;
    // An alias another file defines, explained; empty when none does.
    virtual QString alias(const QString &name) const = 0;
    // What the game ends up with for the variable the caret's line sets to
    // `value` (as the line reads now), or empty.
    virtual QString setting(const QString &name, const QString &value) const = 0;
    // The key, and what it ends up bound to, for a bind on the caret's line; or empty.
    virtual QString key(const QString &name) const = 0;
};

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
// A name the catalogue lacks is looked up among the document's aliases,
// then the configuration's. The name an alias defines, or one a bind or
// alias runs, explains the alias. With `wider`, a setting's name or a value
// in range adds, as `startup`, what applies at start-up, and a bind's key
// names the key and what it ends up bound to. afterCaret: the rest of the
// caret's line, or at least of its word and the value after it.
Hint hintAtCaret(const QString &lineBeforeCaret, const Catalogue &catalogue, const AliasIndex *aliases = nullptr,
                 const WiderHints *wider = nullptr, QStringView afterCaret = {});

// The same for the caret of an edit box. Reads at most CaretLineLimit
// characters before the caret and a name's length after it, so a keystroke
// costs the same in any document.
Hint hintAtCaret(const EditBox &box, const Catalogue &catalogue, const AliasIndex *aliases = nullptr,
                 const WiderHints *wider = nullptr);

inline constexpr int CaretLineLimit = 1024;
