#include "settings/RecordFile.h"

#include "settings/CodePage.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

Status RecordFile::open(const QString &path)
{
    m_path = path;
    m_bytes.clear();
    QFile file(path);
    // ReadWrite creates a missing file, as the record file's open does.
    const QIODevice::OpenMode mode = file.exists() ? QIODevice::ReadOnly : QIODevice::ReadWrite;
    if (!file.open(mode))
        return Status::failure(QStringLiteral("%1 cannot be opened: %2").arg(shown(path), file.errorString()));
    m_bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Status::failure(QStringLiteral("%1 cannot be read: %2").arg(shown(path), file.errorString()));
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
                                   .arg(value, value.mid(bad, 1)));
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
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return Status::failure(QStringLiteral("%1 cannot be written: %2").arg(shown(m_path), file.errorString()));
    if (file.write(m_bytes) != m_bytes.size() || !file.commit())
        return Status::failure(QStringLiteral("%1 cannot be written: %2").arg(shown(m_path), file.errorString()));
    return Status::success();
}
