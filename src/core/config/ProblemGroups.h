#pragma once

#include "config/ConfigAnalysis.h"

#include <QList>
#include <QString>

// How many problems of each weight.
struct ProblemCounts
{
    int errors = 0;
    int warnings = 0;
    int notices = 0;
    // "2 errors, 5 warnings, 12 notices"; "no problems" for none.
    QString text() const;
};
ProblemCounts countProblems(const QList<ConfigProblem> &problems);

// One line of the Problems panel: a problem, or every use of one name
// nobody defines (its members, letter case ignored) under one line, or
// every name of one owner (a plugin, the game library, the game-written
// config.cfg) under one line, or a file's many names nobody knows.
struct ProblemGroup
{
    QList<int> members; // indices into the problems, in run order
    QString text;       // the line: the message, with the uses counted for a group
    bool severalNames = false; // of more than one name: no one name is the line's
    bool isGroup() const { return members.size() > 1; }
};

// The lines of the panel: errors first, then warnings, then notices, each
// in run order of the files; a name's uses in one line at its first use.
QList<ProblemGroup> groupProblems(const QList<ConfigProblem> &problems);
