#pragma once

#include "settings/Result.h"
#include "documents/DiskStamp.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <functional>

// Reading and writing documents: Windows-1252 text files with CR LF line
// ends. A line ends at CR or CR LF, a lone LF stays inside its line, and the
// file's last line end is dropped; writing adds one CR LF after the text,
// so saving and opening again gives back the same text.
namespace DocumentFile {

QString textFromBytes(QByteArrayView bytes);

// Characters Windows-1252 cannot hold are written as "?"; callers ask the
// user first (see firstUnencodable).
QByteArray bytesFromText(QStringView text);

// Where the first character Windows-1252 cannot hold stands.
struct Unencodable
{
    qsizetype position = -1; // -1: every character can be written
    int line = 0;            // counted from 1
    QString character;       // a surrogate pair stays whole
};
Unencodable firstUnencodable(QStringView text);

// The edit box lays a whole line out again at every change of it, in time
// that grows with its length. Measured (bench_longline) with a bare
// QsciScintilla: about 0.75 s for a line of 1 MB on an idle two-core machine
// (1.4 s with the machine loaded six times over), 3 s for 2 MB loaded: a line
// over this many characters takes the box more than about a second.
inline constexpr qsizetype SlowLineLength = 1500000;

// Characters in the longest line (line breaks are CR and LF), counted on
// the bytes, so a file is measured before anything is decoded or laid out.
qsizetype longestLine(QByteArrayView bytes);
// The same for a file; 0 for one that cannot be read, which opening reports.
qsizetype longestLineOf(const QString &path);

} // namespace DocumentFile

// `stamp`, when given, gets what the file on disk was when it was read.
Result<QString> LoadDocument(const QString &path, DiskStamp *stamp = nullptr);

// What an in-place save does around the moment the file is emptied.
struct InPlaceSave
{
    // Makes a copy of the new text safe on disk before the file is touched;
    // a failure leaves the file as it was.
    std::function<Status()> keepCopy;
    // Runs right after the file was emptied (a test kills the process here).
    std::function<void()> truncated;
};

// Replaces the file only once the whole text is written, where its folder
// allows that and the file is the user's own; otherwise writes it in place,
// keeping its owner and permissions. A symbolic link stays a link. A read-only
// file, and anything but a regular file, is refused. A failed in-place write
// puts the old bytes back where it can. `stamp`, when given, gets the file as
// written.
Status SaveDocument(const QString &path, QStringView text, DiskStamp *stamp = nullptr, const InPlaceSave &inPlace = {});
