#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Files and records are Windows-1252, one byte per character. The
// conversion is ICU's, so every one of the 256 byte values survives a
// decode followed by an encode.
namespace CodePage {

// The character that stands for a byte.
QChar charForByte(unsigned char byte);

QString decode(QByteArrayView bytes);

// Position of the first character Windows-1252 cannot hold, or -1.
qsizetype firstUnencodable(QStringView text);

// The character at a position as the user sees it: a surrogate pair whole.
QString characterAt(QStringView text, qsizetype position);

// Callers check firstUnencodable first; a character that cannot be held
// comes out as a substitute byte.
QByteArray encode(QStringView text);

} // namespace CodePage
