#include "settings/RecordFile.h"
#include "settings/FileName.h"

#include "settings/CodePage.h"
#include "settings/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QSaveFile>

namespace {


} // namespace

Status RecordFile::open(const QString &path, qint64 largest, RegularFile::Links links)
{
    m_path = path;
    m_links = links;
    m_bytes.clear();
    if (Status s = RegularFile::check(path, links); !s)
        return s;
    QFile file(path);
    if (file.exists()) {
        if (Status opened = RegularFile::open(file, QIODevice::ReadOnly, links); !opened)
            return opened;
    } else if (!file.open(links == RegularFile::Links::Refuse ? QIODevice::ReadWrite | QIODevice::NewOnly
                                                                : QIODevice::ReadWrite)) {
        // Created as the record file's open does; NewOnly never creates through a link made meanwhile.
        return Status::failure(QStringLiteral("%1 cannot be opened: %2").arg(FileName::shownPath(path), file.errorString()));
    }
    const qint64 size = file.size();
    m_bytes = largest >= 0 && size > largest ? file.read(largest) : file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Status::failure(QStringLiteral("%1 cannot be read: %2").arg(FileName::shownPath(path), file.errorString()));
    if (largest >= 0 && size > largest)
        return Status::failure(QStringLiteral("%1 is %2 bytes long, far more than its records take; only its first "
                                              "%3 bytes were read.")
                                   .arg(FileName::shownPath(path), QLocale().toString(size), QLocale().toString(largest)));
    return Status::success();
}

QString RecordFile::read(int record) const
{
    if (record < 1)
        return {};
    const qint64 offset = qint64(record - 1) * RecordSize;
    if (offset + 2 > m_bytes.size())
        return {};
    const auto *p = reinterpret_cast<const unsigned char *>(m_bytes.constData()) + offset;
    qint64 length = p[0] | (p[1] << 8);
    length = qMin<qint64>(length, MaxChars);
    // A last record may end right after its characters.
    length = qMin(length, m_bytes.size() - offset - 2);
    return CodePage::decode(QByteArrayView(m_bytes.constData() + offset + 2, length));
}

Status RecordFile::write(int record, const QString &value)
{
    if (record < 1)
        return Status::failure(QStringLiteral("record %1 does not exist").arg(record));
    if (value.size() > MaxChars)
        return Status::failure(QStringLiteral("\"%1\" is %2 characters long; at most %3 can be stored")
                                   .arg(value.left(40) + QStringLiteral("..."))
                                   .arg(value.size())
                                   .arg(MaxChars));
    const qsizetype bad = CodePage::firstUnencodable(value);
    if (bad >= 0)
        return Status::failure(QStringLiteral("\"%1\" holds the character \"%2\", which cannot be stored")
                                   .arg(value, CodePage::characterAt(value, bad)));
    const QByteArray chars = CodePage::encode(value);
    const qint64 offset = qint64(record - 1) * RecordSize;
    if (m_bytes.size() < offset + RecordSize)
        m_bytes.resize(offset + RecordSize, '\0');
    char *p = m_bytes.data() + offset;
    p[0] = char(chars.size() & 0xff);
    p[1] = char((chars.size() >> 8) & 0xff);
    memcpy(p + 2, chars.constData(), chars.size());
    memset(p + 2 + chars.size(), 0, MaxChars - chars.size());
    return Status::success();
}

Status RecordFile::commit()
{
    if (Status regular = RegularFile::check(m_path, m_links); !regular)
        return regular;
    QSaveFile file(m_path);
    // Unbuffered, a full disk fails the write itself and says so.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Status::failure(QStringLiteral("%1 cannot be written: %2").arg(FileName::shownPath(m_path), file.errorString()));
    if (!RegularFile::writeAll(file, m_bytes) || !file.commit())
        return Status::failure(QStringLiteral("%1 cannot be written: %2").arg(FileName::shownPath(m_path), file.errorString()));
    return Status::success();
}
