#include "documents/DocumentFile.h"

#include "settings/CodePage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

enum class SaveMethod { Replace, InPlace };

// Replacing needs a new file in the folder, gives the file a new owner and
// would turn a device into a plain file; where any of that stands in the way
// the file is written in place.
SaveMethod saveMethod(const QFileInfo &target)
{
    if (!target.exists())
        return SaveMethod::Replace;
    if (!target.isFile())
        return SaveMethod::InPlace;
    if (!QFileInfo(target.absolutePath()).isWritable())
        return SaveMethod::InPlace;
#ifdef Q_OS_UNIX
    if (target.ownerId() != uint(::geteuid()))
        return SaveMethod::InPlace;
#endif
    return SaveMethod::Replace;
}

Status replaceFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Status::failure(QStringLiteral("%1 cannot be written: %2.").arg(shown(path), file.errorString()));
    if (file.write(bytes) != bytes.size() || !file.commit())
        return Status::failure(QStringLiteral("%1 cannot be written: %2.").arg(shown(path), file.errorString()));
    return Status::success();
}

Status writeInPlace(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return Status::failure(QStringLiteral("%1 cannot be written: %2.").arg(shown(path), file.errorString()));
    bool written = file.write(bytes) == bytes.size();
#ifdef Q_OS_UNIX
    written = written && (!QFileInfo(path).isFile() || ::fsync(file.handle()) == 0);
#endif
    if (!written || file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        return Status::failure(QStringLiteral("%1 was only partly written (%2). The file on disk is now incomplete: "
                                              "your text is still here, so save it again or under another name.")
                                   .arg(shown(path), reason));
    }
    return Status::success();
}

} // namespace

namespace DocumentFile {

QString textFromBytes(QByteArrayView bytes)
{
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();

    // A lone CR grows into CR LF; count them so the text is sized once.
    qsizetype loneCr = 0;
    for (const unsigned char *p = b, *end = b + n; (p = static_cast<const unsigned char *>(memchr(p, '\r', end - p)));) {
        if (p + 1 == end || p[1] != '\n')
            ++loneCr;
        ++p;
    }

    QChar charOf[256];
    for (int i = 0; i < 256; ++i)
        charOf[i] = CodePage::charForByte(static_cast<unsigned char>(i));

    QString text(n + loneCr, Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < n; ++i) {
        const unsigned char c = b[i];
        if (c == '\r') {
            *out++ = u'\r';
            *out++ = u'\n';
            if (i + 1 < n && b[i + 1] == '\n')
                ++i;
        } else {
            *out++ = charOf[c];
        }
    }
    const bool endsWithLineEnd = n > 0 && (b[n - 1] == '\r' || (n > 1 && b[n - 2] == '\r' && b[n - 1] == '\n'));
    if (endsWithLineEnd)
        text.chop(2);
    return text;
}

QByteArray bytesFromText(QStringView text)
{
    QString written = text.toString();
    for (qsizetype i = CodePage::firstUnencodable(written); i >= 0 && i < written.size(); ++i) {
        if (CodePage::firstUnencodable(QStringView(written).mid(i, 1)) < 0)
            continue;
        const bool pair = written[i].isHighSurrogate() && i + 1 < written.size() && written[i + 1].isLowSurrogate();
        written.replace(i, pair ? 2 : 1, u'?');
    }
    written += QLatin1String("\r\n");
    return CodePage::encode(written);
}

Unencodable firstUnencodable(QStringView text)
{
    Unencodable found;
    found.position = CodePage::firstUnencodable(text);
    if (found.position < 0)
        return found;
    // QStringView::count answers -1 for an empty view, so count by hand.
    found.line = 1;
    for (qsizetype i = 1; i < found.position; ++i)
        found.line += text[i - 1] == u'\r' && text[i] == u'\n';
    const bool pair = text[found.position].isHighSurrogate() && found.position + 1 < text.size()
        && text[found.position + 1].isLowSurrogate();
    found.character = text.mid(found.position, pair ? 2 : 1).toString();
    return found;
}

} // namespace DocumentFile

Result<QString> LoadDocument(const QString &path, DiskStamp *stamp)
{
    if (QFileInfo(path).isDir())
        return Status::failure(QStringLiteral("%1 is a folder, not a file.").arg(shown(path)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Status::failure(QStringLiteral("%1 cannot be opened: %2.").arg(shown(path), file.errorString()));
    const qint64 size = file.size();
    // Mapping spares a copy of a large file; pipes and the like are read.
    if (size > 0) {
        if (const uchar *mapped = file.map(0, size)) {
            QString text = DocumentFile::textFromBytes(QByteArrayView(mapped, size));
            if (stamp)
                *stamp = DiskStamp::taken(path, QByteArrayView(mapped, size));
            file.unmap(const_cast<uchar *>(mapped));
            return text;
        }
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Status::failure(QStringLiteral("%1 cannot be read: %2.").arg(shown(path), file.errorString()));
    if (stamp)
        *stamp = DiskStamp::taken(path, bytes);
    return DocumentFile::textFromBytes(bytes);
}

Status SaveDocument(const QString &path, QStringView text, DiskStamp *stamp)
{
    QFileInfo target(path);
    if (target.isSymLink())
        target.setFile(target.canonicalFilePath().isEmpty() ? target.symLinkTarget() : target.canonicalFilePath());
    if (target.exists() && !target.isDir() && !target.isWritable())
        return Status::failure(QStringLiteral("%1 cannot be written: the file is read-only.").arg(shown(path)));
    const QByteArray bytes = DocumentFile::bytesFromText(text);
    const Status written = saveMethod(target) == SaveMethod::Replace ? replaceFile(path, bytes)
                                                                     : writeInPlace(target.filePath(), bytes);
    if (written && stamp)
        *stamp = DiskStamp::taken(path, bytes);
    return written;
}
