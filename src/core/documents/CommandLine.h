#pragma once

#include <QByteArray>
#include <QString>

// The file named on the command line. Qt reads arguments as UTF-8, so a name
// in another encoding (an old Latin-1 file name) would lose its bytes and
// never be found; such a name keeps its bytes (see FileName).
namespace CommandLine {

// Qt takes arguments that read like its own options (-reverse, -style)
// before the program sees them. An argument that names an existing file is
// a file: when the first one does, it is taken out of argv, before Qt reads
// it, and its bytes returned; otherwise a null array and argv as it was.
QByteArray takeExistingFile(int &argc, char **argv);

// A path that names the file the argument's bytes name.
QString filePath(const QByteArray &argument);

// The name to show and offer for a path from filePath().
QString shownName(const QString &path);

} // namespace CommandLine
