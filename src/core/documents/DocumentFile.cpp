#include "documents/DocumentFile.h"

#include "settings/CodePage.h"
#include "settings/FileName.h"
#include "settings/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#include <QStringDecoder>

#include <algorithm>
#include <optional>

#ifdef Q_OS_UNIX
#include <climits>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {


enum class SaveMethod { Replace, InPlace };

// Replacing needs a new file in the folder and gives the file a new owner;
// where either stands in the way the file is written in place.
SaveMethod saveMethod(const QFileInfo &target)
{
    if (!target.exists())
        return SaveMethod::Replace;
    if (!QFileInfo(target.absolutePath()).isWritable())
        return SaveMethod::InPlace;
#ifdef Q_OS_UNIX
    if (target.ownerId() != uint(::geteuid()))
        return SaveMethod::InPlace;
#endif
    return SaveMethod::Replace;
}

#ifdef Q_OS_UNIX
// QSaveFile names its temporary file after the target plus seven bytes,
// which a name near the system's limit (255 bytes) leaves no room for; such a
// file is written under a short temporary name renamed over it, keeping the
// old file's permissions as QSaveFile does.
bool nameLeavesNoRoom(const QString &path)
{
    return QFile::encodeName(QFileInfo(path).fileName()).size() + 7 > NAME_MAX;
}

Status replaceUnderShortName(const QString &path, const QByteArray &bytes)
{
    const QFileInfo target(path);
    QTemporaryFile file(target.absolutePath() + QStringLiteral("/.tessary-XXXXXX"));
    const auto failed = [&] {
        return Status::failure(QStringLiteral("%1 cannot be written: %2.").arg(FileName::shownPath(path), file.errorString()));
    };
    if (!file.open())
        return failed();
    struct stat old = {};
    mode_t mode = 0;
    if (::stat(QFile::encodeName(path).constData(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        mode = ::umask(0);
        ::umask(mode);
        mode = 0666 & ~mode;
    }
    ::fchmod(file.handle(), mode);
    if (!RegularFile::writeAll(file, bytes) || !file.flush() || ::fsync(file.handle()) != 0)
        return failed();
    if (::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(path).constData()) != 0)
        return Status::failure(QStringLiteral("%1 cannot be written: %2.").arg(FileName::shownPath(path), qt_error_string(errno)));
    file.setAutoRemove(false);
    return Status::success();
}
#endif

Status replaceFile(const QString &path, const QByteArray &bytes)
{
#ifdef Q_OS_UNIX
    if (nameLeavesNoRoom(path))
        return replaceUnderShortName(path, bytes);
#endif
    QSaveFile file(path);
    // Unbuffered, a full disk fails the write itself and says so.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Status::failure(QStringLiteral("%1 cannot be written: %2.").arg(FileName::shownPath(path), file.errorString()));
    if (!RegularFile::writeAll(file, bytes) || !file.commit())
        return Status::failure(QStringLiteral("%1 cannot be written: %2.").arg(FileName::shownPath(path), file.errorString()));
    return Status::success();
}

// The file keeps its inode, owner and permissions, so it cannot be swapped
// in whole: a copy of the new text is kept safe first, and the old bytes go
// back when the write fails.
Status writeInPlace(const QString &path, const QByteArray &bytes, const InPlaceSave &guard)
{
    QFile file(path);
    if (Status opened = RegularFile::open(file, QIODevice::ReadWrite | QIODevice::Unbuffered); !opened) {
        // A file the user may write but not read is still written, without a way back.
        if (Status writeOnly = RegularFile::open(file, QIODevice::WriteOnly | QIODevice::Unbuffered); !writeOnly)
            return writeOnly;
    }
    const bool readable = file.isReadable();
    const QByteArray old = readable ? file.readAll() : QByteArray();
    if (readable && file.error() != QFileDevice::NoError)
        return Status::failure(QStringLiteral("%1 cannot be read: %2.").arg(FileName::shownPath(path), file.errorString()));
    if (guard.keepCopy) {
        if (const Status kept = guard.keepCopy(); !kept)
            return Status::failure(QStringLiteral("%1 was not saved: it is written in place, and your text could "
                                                  "not be kept safe first (%2).")
                                       .arg(FileName::shownPath(path), kept.error()));
    }
    const auto syncedWrite = [&file](const QByteArray &content) {
        if (!file.seek(0) || !file.resize(0))
            return false;
        if (!RegularFile::writeAll(file, content))
            return false;
#ifdef Q_OS_UNIX
        return ::fsync(file.handle()) == 0;
#else
        return file.flush();
#endif
    };
    bool written = file.seek(0) && file.resize(0);
    if (written && guard.truncated)
        guard.truncated();
    written = written && RegularFile::writeAll(file, bytes);
    QString reason = file.errorString();
#ifdef Q_OS_UNIX
    if (written && ::fsync(file.handle()) != 0) {
        written = false;
        reason = qt_error_string(errno);
    }
#endif
    if (written)
        return Status::success();
    if (readable && syncedWrite(old))
        return Status::failure(QStringLiteral("%1 could not be written (%2). Its earlier content has been put back; "
                                              "your text is still here, so save it again or under another name.")
                                   .arg(FileName::shownPath(path), reason));
    return Status::failure(QStringLiteral("%1 was only partly written (%2). The file on disk is now incomplete: "
                                          "your text is still here, so save it again or under another name.")
                               .arg(FileName::shownPath(path), reason));
}

} // namespace

namespace DocumentFile {

namespace {

constexpr char Bom[] = "\xEF\xBB\xBF";

// Valid UTF-8 that holds something past ASCII, decoded; nothing otherwise.
// Only a text that encodes back to the very same bytes counts.
std::optional<QString> utf8Text(QByteArrayView bytes, bool bom)
{
    if (!bom && std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; }))
        return std::nullopt;
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder(bytes);
    if (decoder.hasError() || text.toUtf8() != bytes)
        return std::nullopt;
    return text;
}

QString windows1252Text(QByteArrayView bytes)
{
    QChar charOf[256];
    for (int i = 0; i < 256; ++i)
        charOf[i] = CodePage::charForByte(static_cast<unsigned char>(i));
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.data());
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0, n = bytes.size(); i < n; ++i)
        out[i] = charOf[b[i]];
    return text;
}

} // namespace

Decoded decode(QByteArrayView bytes)
{
    Decoded decoded;
    const bool bom = bytes.startsWith(QByteArrayView(Bom, 3));
    if (std::optional<QString> utf8 = utf8Text(bom ? bytes.sliced(3) : bytes, bom)) {
        decoded.text = std::move(*utf8);
        decoded.form.encoding = bom ? TextForm::Encoding::Utf8Bom : TextForm::Encoding::Utf8;
    } else {
        decoded.text = windows1252Text(bytes);
    }
    QString &text = decoded.text;
    using LineBreak = TextForm::LineBreak;
    LineBreak last = LineBreak::None;
    if (text.endsWith(QLatin1String("\r\n")))
        last = LineBreak::CrLf;
    else if (text.endsWith(u'\n'))
        last = LineBreak::Lf;
    else if (text.endsWith(u'\r'))
        last = LineBreak::Cr;
    text.chop(TextForm::breakText(last).size());
    decoded.form.finalBreak = last;
    decoded.form.lineBreak = LineBreaks::mostCommon(text, last);
    return decoded;
}

QString textFromBytes(QByteArrayView bytes)
{
    return decode(bytes).text;
}

QByteArray encode(QStringView text, const TextForm &form)
{
    const QString last = TextForm::breakText(form.finalBreak);
    if (form.encoding != TextForm::Encoding::Windows1252) {
        QByteArray bytes = form.encoding == TextForm::Encoding::Utf8Bom ? QByteArray(Bom, 3) : QByteArray();
        bytes += text.toUtf8();
        bytes += last.toLatin1();
        return bytes;
    }
    QString written = text.toString();
    for (qsizetype i = CodePage::firstUnencodable(written); i >= 0 && i < written.size(); ++i) {
        if (CodePage::firstUnencodable(QStringView(written).mid(i, 1)) < 0)
            continue;
        const bool pair = written[i].isHighSurrogate() && i + 1 < written.size() && written[i + 1].isLowSurrogate();
        written.replace(i, pair ? 2 : 1, u'?');
    }
    written += last;
    return CodePage::encode(written);
}

QByteArray bytesFromText(QStringView text)
{
    return encode(text, TextForm::game());
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

Result<QString> LoadDocument(const QString &path, DiskStamp *stamp, TextForm *form)
{
    QFile file(path);
    if (Status opened = RegularFile::open(file, QIODevice::ReadOnly); !opened)
        return Status::failure(opened.error());
    // Read, never mapped: a file that another program shrinks meanwhile
    // gives the shorter text instead of ending the program (SIGBUS).
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Status::failure(QStringLiteral("%1 cannot be read: %2.").arg(FileName::shownPath(path), file.errorString()));
    if (stamp)
        *stamp = DiskStamp::taken(path, bytes);
    DocumentFile::Decoded decoded = DocumentFile::decode(bytes);
    if (form)
        *form = decoded.form;
    return std::move(decoded.text);
}

Status SaveDocument(const QString &path, QStringView text, DiskStamp *stamp, const InPlaceSave &inPlace,
                    const TextForm &form)
{
    QFileInfo target(path);
    if (target.isSymLink())
        target.setFile(target.canonicalFilePath().isEmpty() ? target.symLinkTarget() : target.canonicalFilePath());
    if (Status regular = RegularFile::check(path); !regular)
        return regular;
    if (target.exists() && !target.isDir() && !target.isWritable())
        return Status::failure(QStringLiteral("%1 cannot be written: the file is read-only.").arg(FileName::shownPath(path)));
    RegularFile::ignoreFileSizeSignal();
    const QByteArray bytes = DocumentFile::encode(text, form);
    // A name kept as bytes (see FileName) cannot pass through QSaveFile; the file is written in place.
    if (FileName::hasRawBytes(path) && !RegularFile::exists(path)) {
        if (Status made = RegularFile::create(path); !made)
            return made;
    }
    const Status written = FileName::hasRawBytes(path)                 ? writeInPlace(path, bytes, inPlace)
                           : saveMethod(target) == SaveMethod::Replace ? replaceFile(path, bytes)
                                                                       : writeInPlace(target.filePath(), bytes, inPlace);
    if (written && stamp)
        *stamp = DiskStamp::taken(path, bytes);
    return written;
}
