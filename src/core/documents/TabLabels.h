#pragma once

#include <QString>
#include <QStringList>

// The labels of the window's tabs, one for each document path in order: the
// file's name, or "Untitled" (numbered from the second) for a document with
// no file. Where names are equal, each gets as many of its folders as tell
// it apart from the others, e.g. "config.cfg (cstrike)".
QStringList tabLabels(const QStringList &paths);
