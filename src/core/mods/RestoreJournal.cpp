#include "mods/RestoreJournal.h"

#include "mods/SafeFile.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

namespace RestoreJournal {

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The hash of a file's bytes, or empty when it cannot be read.
QByteArray hashOf(const QString &path)
{
    Result<QByteArray> bytes = SafeFile::read(path);
    return bytes ? hash(bytes.value()) : QByteArray();
}

} // namespace

QString path(const QString &dataFolder)
{
    return dataFolder + QStringLiteral("/restore.journal");
}

QByteArray hash(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

Status write(const QString &dataFolder, const Swap &swap)
{
    const QJsonObject note{{"modFile", swap.modFile},
                           {"backupCopy", swap.backupCopy},
                           {"scratchCopy", swap.scratchCopy},
                           {"modHash", QString::fromLatin1(swap.modHash)},
                           {"backupHash", QString::fromLatin1(swap.backupHash)}};
    return SafeFile::write(path(dataFolder), QJsonDocument(note).toJson());
}

void clear(const QString &dataFolder)
{
    QFile::remove(path(dataFolder));
}

bool whole(const Swap &swap)
{
    if (swap.modHash == swap.backupHash)
        return true;
    const QByteArray mod = hashOf(swap.modFile);
    const QByteArray backup = hashOf(swap.backupCopy);
    return (mod == swap.modHash && backup == swap.backupHash) || (mod == swap.backupHash && backup == swap.modHash);
}

Status recover(const QString &dataFolder)
{
    const QString note = path(dataFolder);
    if (!QFileInfo::exists(note))
        return Status::success();
    Result<QByteArray> text = SafeFile::read(note);
    if (!text)
        return Status::failure(text.error());
    const QJsonObject json = QJsonDocument::fromJson(text.value()).object();
    const Swap swap{json["modFile"].toString(), json["backupCopy"].toString(), json["scratchCopy"].toString(),
                    json["modHash"].toString().toLatin1(), json["backupHash"].toString().toLatin1()};
    if (swap.modFile.isEmpty() || swap.backupCopy.isEmpty() || swap.scratchCopy.isEmpty()) {
        clear(dataFolder); // not a note this program wrote whole; nothing was changed before it was
        return Status::success();
    }
    if (whole(swap)) {
        clear(dataFolder);
        return Status::success();
    }
    // Ended after the mod's file was replaced: the scratch copy finishes the swap.
    if (hashOf(swap.modFile) == swap.backupHash && hashOf(swap.scratchCopy) == swap.modHash) {
        Result<QByteArray> saved = SafeFile::read(swap.scratchCopy);
        if (Status s = saved ? SafeFile::write(swap.backupCopy, saved.value()) : Status::failure(saved.error()); !s)
            return Status::failure(QStringLiteral("An interrupted restore could not be finished: %1\nThe file that "
                                                  "was in the mod folder is kept in %2.")
                                       .arg(s.error(), shown(swap.scratchCopy)));
        clear(dataFolder);
        return Status::success();
    }
    // Changed by something else since: keep every copy and say where.
    QString kept;
    if (QFileInfo::exists(swap.scratchCopy)) {
        kept = swap.scratchCopy + QDateTime::currentDateTime().toString(QStringLiteral(".yyyyMMdd-hhmmss"));
        if (!QFile::rename(swap.scratchCopy, kept))
            kept = swap.scratchCopy;
    }
    clear(dataFolder);
    return Status::failure(QStringLiteral("A restore of %1 was interrupted, and the files have changed since, so "
                                          "Tessary left them as they are.%2")
                               .arg(shown(swap.modFile),
                                    kept.isEmpty() ? QString()
                                                   : QStringLiteral(" The file that was in the mod folder before "
                                                                    "is kept in %1.")
                                                         .arg(shown(kept))));
}

} // namespace RestoreJournal
