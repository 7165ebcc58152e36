#pragma once

#include "settings/Result.h"
#include "documents/DiskStamp.h"
#include "editbox/TextForm.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <functional>

// Reading and writing documents, each in the form it was found in (see
// TextForm): a file that is valid UTF-8 and holds bytes past ASCII is read as
// UTF-8, any other as Windows-1252; every line end (CR LF, LF, lone CR)
// stays in the text as it is, and the file's last line end is taken off the
// text into the form. Writing puts back exactly that, so a file opened and
// saved unchanged is written byte for byte.
namespace DocumentFile {

struct Decoded
{
    QString text;
    TextForm form;
};
Decoded decode(QByteArrayView bytes);
// Characters Windows-1252 cannot hold are written as "?" in that encoding.
QByteArray encode(QStringView text, const TextForm &form);

// The text of decode().
QString textFromBytes(QByteArrayView bytes);

// encode() in the game's own form, Windows-1252 with CR LF; callers ask the
// user first about characters it cannot hold (see firstUnencodable).
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

} // namespace DocumentFile

// `stamp`, when given, gets what the file on disk was when it was read;
// `form`, how its text is written.
Result<QString> LoadDocument(const QString &path, DiskStamp *stamp = nullptr, TextForm *form = nullptr);

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
// written. The text is written in `form`.
Status SaveDocument(const QString &path, QStringView text, DiskStamp *stamp = nullptr, const InPlaceSave &inPlace = {},
                    const TextForm &form = TextForm::game());
