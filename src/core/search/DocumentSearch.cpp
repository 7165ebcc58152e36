#include "search/DocumentSearch.h"

#include "editbox/EditBox.h"
#include "undo/clsUndo.h"

#include <algorithm>

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

bool isWholeWord(const QString &document, qsizetype at, qsizetype length)
{
    return (at == 0 || !isWordChar(document[at - 1]))
        && (at + length >= document.size() || !isWordChar(document[at + length]));
}

// Between the CR and LF of a line break is no place a selection can start or end.
bool splitsLineBreak(const QString &document, qsizetype at)
{
    return at > 0 && at < document.size() && document[at - 1] == u'\r' && document[at] == u'\n';
}

bool acceptable(const QString &document, qsizetype at, qsizetype length, SearchOptions options)
{
    if (splitsLineBreak(document, at) || splitsLineBreak(document, at + length))
        return false;
    return !options.wholeWord || isWholeWord(document, at, length);
}

Qt::CaseSensitivity caseOf(SearchOptions options)
{
    return options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

// The first occurrence at or after `from` (forward), or the last that
// starts before `from` (back), honouring the options; -1 if none.
qsizetype search(const QString &document, const QString &text, qsizetype from, bool forward, SearchOptions options)
{
    const Qt::CaseSensitivity cs = caseOf(options);
    qsizetype at = forward ? document.indexOf(text, from, cs) : (from <= 0 ? -1 : document.lastIndexOf(text, from - 1, cs));
    while (at >= 0 && !acceptable(document, at, text.size(), options)) {
        if (forward)
            at = document.indexOf(text, at + 1, cs);
        else
            at = at == 0 ? -1 : document.lastIndexOf(text, at - 1, cs);
    }
    return at;
}

} // namespace

FoundAt findNext(EditBox &box, const QString &text, bool forward, SearchOptions options)
{
    FoundAt found;
    if (text.isEmpty())
        return found;
    const QString document = box.Text();
    const int start = box.SelStart();
    const int end = start + box.SelLength();
    qsizetype at = search(document, text, forward ? end : start, forward, options);
    if (at < 0) {
        at = search(document, text, forward ? 0 : document.size(), forward, options);
        found.wrapped = at >= 0;
    }
    if (at >= 0) {
        found.position = int(at);
        box.setSelection(found.position, int(text.size()));
    }
    return found;
}

QList<int> occurrences(const QString &document, const QString &text, SearchOptions options)
{
    QList<int> found;
    if (text.isEmpty())
        return found;
    for (qsizetype at = search(document, text, 0, true, options); at >= 0;
         at = search(document, text, at + text.size(), true, options))
        found.append(int(at));
    return found;
}

bool replaceSelected(clsUndo &undo, EditBox &box, const QString &text, const QString &replacement,
                     SearchOptions options, FoundAt &next)
{
    bool replaced = false;
    if (!text.isEmpty() && box.SelText().compare(text, caseOf(options)) == 0
        && (!options.wholeWord || isWholeWord(box.Text(), box.SelStart(), text.size()))) {
        undo.InsertText(replacement, true);
        replaced = true;
    }
    next = findNext(box, text, true, options);
    return replaced;
}

int replaceAll(clsUndo &undo, EditBox &box, const QString &text, const QString &replacement, SearchOptions options)
{
    const QString document = box.Text();
    const QList<int> found = occurrences(document, text, options);
    if (found.isEmpty())
        return 0;
    // One element from the first occurrence to the end of the last: the
    // text around them is written back unchanged.
    const qsizetype first = found.front();
    const qsizetype last = found.back() + text.size();
    QString span;
    span.reserve(last - first + found.size() * (replacement.size() - text.size()));
    qsizetype from = first;
    for (const int at : found) {
        span.append(QStringView(document).mid(from, at - from));
        span.append(replacement);
        from = at + text.size();
    }
    box.setSelection(int(first), int(last - first));
    undo.InsertText(span, true);
    return int(found.size());
}

MatchCount countAt(const QList<int> &starts, int selectionStart)
{
    const auto at = std::lower_bound(starts.begin(), starts.end(), selectionStart);
    const bool onOne = at != starts.end() && *at == selectionStart;
    return {onOne ? int(at - starts.begin()) + 1 : 0, int(starts.size())};
}
