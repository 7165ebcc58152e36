#pragma once

#include <QByteArray>
#include <QString>

// File names as the file system holds them: bytes. Qt reads them as UTF-8,
// so a name in another encoding (an old Latin-1 "caf\xe9.cfg") would come
// back as "caf\uFFFD.cfg", a different file. Each byte that is not part of
// valid UTF-8 is kept in the string as a lone surrogate U+DC80..U+DCFF, so
// the string names the very file it was made from, and survives the recent
// list and the recovery copy.
//
// Such a string must reach the file system through toNative(), never
// through QFile or QFileInfo, which would write U+FFFD.
namespace FileName {

QString fromNative(const QByteArray &name);
QByteArray toNative(const QString &name);

// Whether the name holds bytes kept by fromNative().
bool hasRawBytes(const QString &name);

// The name for the user, each kept byte shown as U+FFFD.
QString shown(const QString &name);

// A path as messages name it: shown() with the platform's separators.
QString shownPath(const QString &path);

} // namespace FileName
