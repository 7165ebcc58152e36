#include "catalogue/QuickSearch.h"

#include "editbox/EditBox.h"
#include "documents/Prompts.h"
#include "documents/Texts.h"

int FindInDocument(EditBox &box, Prompts &prompts, const QString &text)
{
    // "Could not find " with nothing after it would tell the user nothing.
    if (text.isEmpty())
        return -1;
    const int found = box.Find(text, 0, box.TextLength());
    if (found < 0)
        prompts.showMessage(QString::fromLatin1(Texts::NotFoundTitle), Texts::couldNotFind(text));
    return found;
}
