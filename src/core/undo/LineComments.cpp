#include "undo/LineComments.h"

#include "editbox/EditBox.h"
#include "undo/clsUndo.h"

#include <QList>

namespace {

const QString Mark = QStringLiteral("//");

bool isLineEnd(QChar c)
{
    return c == u'\n' || c == u'\r';
}

qsizetype indentOf(QStringView line)
{
    qsizetype i = 0;
    while (i < line.size() && (line[i] == u' ' || line[i] == u'\t'))
        ++i;
    return i;
}

bool isBlank(QStringView line)
{
    return indentOf(line) == line.size();
}

} // namespace

namespace LineComments {

Change toggled(QStringView text, int selStart, int selLength)
{
    const qsizetype size = text.size();
    qsizetype first = qBound(qsizetype(0), qsizetype(selStart), size);
    qsizetype end = qBound(first, qsizetype(selStart) + qMax(0, selLength), size);
    while (first > 0 && !isLineEnd(text[first - 1]))
        --first;
    if (selLength > 0 && end > first && isLineEnd(text[end - 1])) {
        // The selection ends at a line's start: that line is not touched.
        --end;
        if (end > first && text[end] == u'\n' && text[end - 1] == u'\r')
            --end;
    }
    while (end < size && !isLineEnd(text[end]))
        ++end;

    // The lines, each with the line end that follows it.
    struct Line { QStringView body; QStringView end; };
    QList<Line> lines;
    for (qsizetype at = first; at <= end;) {
        qsizetype stop = at;
        while (stop < end && !isLineEnd(text[stop]))
            ++stop;
        qsizetype next = stop;
        if (stop < end)
            next += (text[stop] == u'\r' && stop + 1 < size && text[stop + 1] == u'\n') ? 2 : 1;
        lines.append({text.mid(at, stop - at), text.mid(stop, next - stop)});
        if (stop >= end)
            break;
        at = next;
    }

    bool anyText = false;
    bool allCommented = true;
    qsizetype indent = -1;
    for (const Line &line : lines) {
        if (isBlank(line.body))
            continue;
        anyText = true;
        const qsizetype in = indentOf(line.body);
        indent = indent < 0 ? in : qMin(indent, in);
        allCommented = allCommented && line.body.mid(in).startsWith(Mark);
    }
    Change change;
    change.selStart = selStart;
    change.selLength = selLength;
    if (!anyText)
        return change;

    QString out;
    qsizetype caretColumn = selStart - first; // the caret, when nothing is selected, is on the one line
    for (const Line &line : lines) {
        if (isBlank(line.body)) {
            out += line.body;
        } else if (allCommented) {
            const qsizetype at = indentOf(line.body);
            const qsizetype removed = Mark.size() + (line.body.mid(at + Mark.size()).startsWith(u' ') ? 1 : 0);
            out += line.body.left(at);
            out += line.body.mid(at + removed);
            caretColumn = caretColumn >= at + removed ? caretColumn - removed : qMin(caretColumn, at);
        } else {
            out += line.body.left(indent);
            out += Mark + u' ';
            out += line.body.mid(indent);
            if (caretColumn >= indent)
                caretColumn += Mark.size() + 1;
        }
        out += line.end;
    }
    change.start = int(first);
    change.length = int(end - first);
    change.text = out;
    if (selLength == 0) {
        change.selStart = int(first + caretColumn);
        change.selLength = 0;
    } else {
        change.selStart = int(first);
        change.selLength = int(out.size());
    }
    return change;
}

void toggle(clsUndo &undo, EditBox &box)
{
    const Change change = toggled(box.Text(), box.SelStart(), box.SelLength());
    if (!change.changes())
        return;
    box.setSelection(change.start, change.length);
    undo.InsertText(change.text, true);
    box.setSelection(change.selStart, change.selLength);
}

} // namespace LineComments
