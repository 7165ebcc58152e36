#include "store/SafeFile.h"

#include "settings/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace SafeFile {

Result<QByteArray> read(const QString &path, Links links)
{
    QFile file(path);
    if (Status opened = RegularFile::open(file, QIODevice::ReadOnly, links); !opened)
        return Status::failure(opened.error());
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Status::failure(QStringLiteral("%1 cannot be read: %2").arg(QDir::toNativeSeparators(path),
                                                                           file.errorString()));
    return bytes;
}

Status write(const QString &path, const QByteArray &bytes, Links links)
{
    if (Status regular = RegularFile::check(path, links); !regular)
        return regular;
    QSaveFile file(path);
    // Unbuffered, a full disk fails the write itself and says so.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || !RegularFile::writeAll(file, bytes) || !file.commit())
        return Status::failure(QStringLiteral("%1 cannot be written: %2").arg(QDir::toNativeSeparators(path),
                                                                              file.errorString()));
    return Status::success();
}

} // namespace SafeFile
