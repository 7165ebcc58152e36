#include "mods/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace SafeFile {

Result<QByteArray> read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Status::failure(QStringLiteral("%1 cannot be read: %2").arg(QDir::toNativeSeparators(path),
                                                                           file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Status::failure(QStringLiteral("%1 cannot be read: %2").arg(QDir::toNativeSeparators(path),
                                                                           file.errorString()));
    return bytes;
}

Status write(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return Status::failure(QStringLiteral("%1 cannot be written: %2").arg(QDir::toNativeSeparators(path),
                                                                              file.errorString()));
    return Status::success();
}

} // namespace SafeFile
