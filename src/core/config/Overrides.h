#pragma once

#include "config/ConfigAnalysis.h"

#include <QList>
#include <QString>

// One thing the game sets at start-up: a variable's value, or what a key
// runs. Given in the order the game makes them; where that order comes
// from (today the start-up order of the files, later the console's model
// with what aliases set) is the caller's business.
struct Assignment
{
    enum class Kind { Setting, Bind, Unbind, UnbindAll };
    Kind kind = Kind::Setting;
    QString key;   // a variable in lower case, or a key as KeyNames::canonical names it
    QString shown; // as written
    QString value; // the value set, or the command bound
    QString path;  // the file, and its name in the start-up order
    QString file;
    int line = 0; // from 0
    int column = 0;
    int length = 0;
    // The game writes this file anew when it quits (config.cfg): what a
    // later file replaces there costs nothing, and is not said.
    bool rewritten = false;
};

// The warnings on what is set and then lost: a setting or bind that a
// later file replaces, and a key one file binds twice to different commands.
QList<ConfigProblem> overrides(const QList<Assignment> &runOrder);
