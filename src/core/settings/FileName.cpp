#include "settings/FileName.h"

#include <QDir>
#include <QFile>

namespace FileName {

namespace {

constexpr char16_t FirstKept = 0xDC80;
constexpr char16_t LastKept = 0xDCFF;

// A kept byte, not the low half of a surrogate pair.
bool isKept(const QString &name, qsizetype i)
{
    const char16_t c = name[i].unicode();
    return c >= FirstKept && c <= LastKept && (i == 0 || !name[i - 1].isHighSurrogate());
}

// The length of the valid UTF-8 sequence at `at`, or 0.
qsizetype validSequence(const QByteArray &bytes, qsizetype at)
{
    const auto lead = static_cast<unsigned char>(bytes[at]);
    const qsizetype length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || at + length > bytes.size())
        return 0;
    const QByteArray sequence = bytes.mid(at, length);
    // Overlong forms, surrogates and continuation errors do not come back the same.
    return QString::fromUtf8(sequence).toUtf8() == sequence ? length : 0;
}

} // namespace

QString fromNative(const QByteArray &name)
{
    QString decoded = QFile::decodeName(name);
    if (QFile::encodeName(decoded) == name)
        return decoded;
    decoded.clear();
    for (qsizetype i = 0; i < name.size();) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (byte < 0x80) {
            decoded += QLatin1Char(char(byte));
            ++i;
        } else if (const qsizetype length = validSequence(name, i)) {
            decoded += QString::fromUtf8(name.mid(i, length));
            i += length;
        } else {
            decoded += QChar(char16_t(0xDC00 + byte));
            ++i;
        }
    }
    return decoded;
}

QByteArray toNative(const QString &name)
{
    if (!hasRawBytes(name))
        return QFile::encodeName(name);
    QByteArray bytes;
    qsizetype start = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!isKept(name, i))
            continue;
        bytes += QFile::encodeName(name.mid(start, i - start));
        bytes += char(name[i].unicode() - 0xDC00);
        start = i + 1;
    }
    return bytes + QFile::encodeName(name.mid(start));
}

bool hasRawBytes(const QString &name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (isKept(name, i))
            return true;
    }
    return false;
}

QString shown(const QString &name)
{
    QString text = name;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isKept(name, i))
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

QString shownPath(const QString &path)
{
    return QDir::toNativeSeparators(shown(path));
}

} // namespace FileName
