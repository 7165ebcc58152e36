#pragma once

#include <QByteArray>
#include <QString>

// The file named on the command line. Qt reads arguments as UTF-8, so a name
// in another encoding (an old Latin-1 file name) would lose its bytes and
// never be found; such a name keeps its bytes (see FileName).
namespace CommandLine {

// A path that names the file the argument's bytes name.
QString filePath(const QByteArray &argument);

// The name to show and offer for a path from filePath().
QString shownName(const QString &path);

} // namespace CommandLine
