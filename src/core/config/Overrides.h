#pragma once

#include "config/ConfigAnalysis.h"

#include <QList>
#include <QString>

// A variable's value set at start-up, in the order the console sets them
// (binds are judged on the console's model itself).
struct Assignment
{
    QString key;   // the variable in lower case
    QString shown; // as written
    QString value;
    QString path;  // the file, and its name in the start-up order
    QString file;
    int line = 0; // from 0
    int column = 0;
    int length = 0;
    // The game writes this file anew when it quits (config.cfg): what a
    // later file replaces there costs nothing, and is not said.
    bool rewritten = false;
};

// The warnings on a setting that a later file replaces; `when` says where
// the order runs ("at start-up", "on a dedicated server").
QList<ConfigProblem> overrides(const QList<Assignment> &runOrder, const QString &when);
