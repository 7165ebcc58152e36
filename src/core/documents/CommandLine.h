#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>
#include <QStringList>

// The file named on the command line. Qt reads arguments as UTF-8, so a name
// in another encoding (an old Latin-1 file name) would lose its bytes and
// never be found; such a name keeps its bytes (see FileName).
namespace CommandLine {

// Qt takes arguments that read like its own options (-reverse, -style)
// before the program sees them. An argument that names an existing file is
// a file: when the first one does, it is taken out of argv, before Qt reads
// it, and its bytes returned; otherwise a null array and argv as it was.
QByteArray takeExistingFile(int &argc, char **argv);

// Opens a window of its own, as every start did before the running
// window took files handed to it.
inline constexpr char NewWindowOption[] = "--new-window";

struct Start
{
    // The named file's bytes; null when none was named.
    QByteArray file;
    bool newWindow = false;
};

// Takes the file (see takeExistingFile) and --new-window, in either order,
// from the front of argv. Called before Qt reads its options and again
// after, for those that followed Qt's; what then remains first is the file,
// named but missing.
void takeStart(int &argc, char **argv, Start &start);

// Qt's -stylesheet option names a file QApplication reads whole before any
// window shows: /dev/zero would be read for ever. The option, with its
// value, is taken out of argv unless the value is a regular file of at most
// LargestStyleSheet bytes; the reason is returned, empty when it stays.
inline constexpr qint64 LargestStyleSheet = 1024 * 1024;
QString takeBadStyleSheet(int &argc, char **argv);

// The files named after the first (tessary *.cfg): those to open, each
// once, existing regular files only and at most MoreFilesLimit of them, and
// one message naming what was not opened, empty when all were.
inline constexpr int MoreFilesLimit = 100;
struct MoreFiles
{
    QStringList open;
    QString notOpened;
};
MoreFiles moreFiles(const QByteArrayList &arguments, const QByteArray &currentFolder, int limit = MoreFilesLimit);

// A path that names the file the argument's bytes name.
QString filePath(const QByteArray &argument);

// The name to show and offer for a path from filePath().
QString shownName(const QString &path);

} // namespace CommandLine
