#pragma once

#include "settings/Result.h"
#include "documents/DiskStamp.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

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

} // namespace DocumentFile

// `stamp`, when given, gets what the file on disk was when it was read.
Result<QString> LoadDocument(const QString &path, DiskStamp *stamp = nullptr);

// Replaces the file only once the whole text is written, where its folder
// allows that and the file is the user's own; otherwise writes it in place,
// keeping its owner and permissions. A symbolic link stays a link. A read-only
// file is refused. `stamp`, when given, gets the file as written.
Status SaveDocument(const QString &path, QStringView text, DiskStamp *stamp = nullptr);
