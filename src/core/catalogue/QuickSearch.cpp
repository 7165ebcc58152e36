#include "catalogue/QuickSearch.h"

#include "editbox/EditBox.h"
#include "documents/Prompts.h"
#include "documents/Texts.h"

int FindInDocument(EditBox &box, Prompts &prompts, const QString &text)
{
    // "Could not find " with nothing after it would tell the user nothing.
    if (text.isEmpty())
        return -1;
    // Pasted lines come with LF or CR alone; the document's breaks are CR LF.
    QString searched = text;
    searched.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    searched.replace(u'\n', QLatin1String("\r\n"));
    const int found = box.Find(searched, 0, box.TextLength());
    if (found < 0)
        prompts.showMessage(QString::fromLatin1(Texts::NotFoundTitle), Texts::couldNotFind(text));
    return found;
}
