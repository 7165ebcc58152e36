#pragma once

#include "settings/Result.h"

#include <QIODevice>
#include <QString>

class QFile;
class QFileDevice;

// Only regular files are read or written. A device such as /dev/zero would
// be read for ever, a named pipe blocks open() until another program writes
// to it, and a socket cannot be opened at all; each is refused, also behind a
// symbolic link, with a message that says what it is.
namespace RegularFile {

// Whether a symbolic link at the path itself is followed. The store's own
// files (data.dat, its lock, the restore journal, the pending-add notes)
// are never links: one put there would turn a write into a write elsewhere.
enum class Links { Follow, Refuse };

// Success when the path names nothing (yet) or a regular file.
Status check(const QString &path, Links links = Links::Follow);

// Whether the path names anything, a dangling link not counted; a name
// kept as bytes (see FileName) is looked up by those bytes.
bool exists(const QString &path);

// Makes an empty file where nothing is, by the name's own bytes; refuses
// when anything, a dangling link included, is there.
Status create(const QString &path);

// Opens an existing file without ever blocking, and only when it is a
// regular file. Never creates or truncates: a writer truncates once it knows
// what it opened.
Status open(QFile &file, QIODevice::OpenMode mode, Links links = Links::Follow);

// Where a link at the path leads, when the path itself is a symbolic link;
// empty otherwise.
QString linkTarget(const QString &path);

// Writes every byte to a file opened unbuffered. A short write (a disk
// filling up) is followed by another, which fails with the system's reason,
// so errorString() names it instead of "Unknown error".
bool writeAll(QFileDevice &file, const QByteArray &bytes);

// A write past the file-size limit (ulimit -f) would end the program with
// SIGXFSZ, losing the text being saved; ignored, the write fails with
// "File too large" and the save says so. Process-wide; safe to call again.
void ignoreFileSizeSignal();

} // namespace RegularFile
