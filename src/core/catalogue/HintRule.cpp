#include "catalogue/HintRule.h"

#include "catalogue/AliasIndex.h"
#include "catalogue/Catalogue.h"
#include "editbox/EditBox.h"
#include "editbox/RichText.h"

// The rich-text form holds a space only where the text does (its header
// ends in one and its escapes have none), so its last word is the escaped
// text after the text's last space.
Hint hintFor(const EditBox &box, const Catalogue &catalogue, int limit, const AliasIndex *aliases)
{
    Hint hint;
    bool cut = false;
    hint.word = RichText::escaped(box.textAfterLastSpace(limit, cut));
    if (hint.word.isEmpty())
        return hint;
    const int k = cut ? 0 : catalogue.find(hint.word);
    const QString alias = k || cut || !aliases ? QString() : aliases->explain(hint.word);
    hint.caption = k ? catalogue.explanation(k) : !alias.isEmpty() ? alias : hint.word;
    return hint;
}
