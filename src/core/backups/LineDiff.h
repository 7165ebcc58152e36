#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// How one text differs from another, line by line: the shortest list of
// lines to remove and add (Myers' algorithm), as a restore shows it before
// it swaps two files.
namespace LineDiff {

enum class Kind { Same, Removed, Added };

struct Line
{
    Kind kind;
    int oldLine; // 1-based line in the old text, 0 for an added line
    int newLine; // 1-based line in the new text, 0 for a removed line
    QString text;
};

// A row of the side-by-side view: the old line on the left, the new on the
// right; a side is -1 where it has no line.
struct Row
{
    int left;  // index into the lines
    int right;
};

// Lines split at LF, CR LF or CR; a last line break ends the last line
// rather than starting an empty one.
QStringList splitLines(const QString &text);

// One entry per line of either text, in order: unchanged lines once,
// removed lines before the lines added in their place.
QList<Line> compare(const QStringList &oldLines, const QStringList &newLines);

// Pairs each run of removed lines with the added lines that follow it.
QList<Row> sideBySide(const QList<Line> &lines);

// Whether anything differs.
bool changed(const QList<Line> &lines);

} // namespace LineDiff
