#include "backups/RestoreJournal.h"
#include "settings/FileName.h"

#include "store/ModStore.h"
#include "store/SafeFile.h"
#include "store/StoreNotes.h"
#include "settings/mdlVars.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace RestoreJournal {

namespace {


constexpr auto Own = SafeFile::Links::Refuse;

// The hash of a file's bytes, or empty when it cannot be read.
QByteArray hashOf(const QString &path)
{
    Result<QByteArray> bytes = SafeFile::read(path, Own);
    return bytes ? hash(bytes.value()) : QByteArray();
}

bool isHash(const QByteArray &text)
{
    return text.size() == 64
        && std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

// Whether the swap is one a restore of a listed mod writes: the mod's file
// in its folder, the backup copy of the same known file in the mod's backup
// folder, and the scratch copy, each as the file system resolves it.
bool isRestoreOfListedMod(const Swap &swap, const QString &dataFolder, const mdlVars &vars)
{
    if (!isHash(swap.modHash) || !isHash(swap.backupHash))
        return false;
    const QString scratch = ModStore::scratchFolder(dataFolder);
    if (!StoreNotes::isStoreFolder(scratch, dataFolder))
        return false;
    const QString file = StoreNotes::knownFileIn(swap.scratchCopy, scratch);
    if (file.isEmpty())
        return false;
    for (int i = 0; i < mdlVars::ModSlots; ++i) {
        const QString &name = vars.strModName[i];
        const QString &folder = vars.strModDir[i];
        if (name.isEmpty() || !ModStore::checkModName(name) || !ModStore::checkApart(dataFolder, name, folder))
            continue;
        const QString backups = ModStore::backupFolder(dataFolder, name);
        if (StoreNotes::isStoreFolder(backups, dataFolder) && StoreNotes::knownFileIn(swap.backupCopy, backups, false, true) == file
            && StoreNotes::knownFileIn(swap.modFile, folder, true) == file)
            return true;
    }
    return false;
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
    return SafeFile::write(path(dataFolder), QJsonDocument(note).toJson(), Own);
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

Status recover(const QString &dataFolder, const mdlVars &vars)
{
    const QString note = path(dataFolder);
    if (!QFileInfo::exists(note) && !QFileInfo(note).isSymLink())
        return Status::success();
    Result<QByteArray> text = SafeFile::read(note, Own);
    if (!text)
        return StoreNotes::keepAside(note, text.error());
    const QJsonObject json = QJsonDocument::fromJson(text.value()).object();
    const Swap swap{json["modFile"].toString(), json["backupCopy"].toString(), json["scratchCopy"].toString(),
                    json["modHash"].toString().toLatin1(), json["backupHash"].toString().toLatin1()};
    if (!isRestoreOfListedMod(swap, dataFolder, vars))
        return StoreNotes::keepAside(note, QStringLiteral("it does not name a backed-up file of a listed mod, its "
                                                          "backup copy and the copy Tessary keeps while restoring, "
                                                          "so no file it names was changed."));
    if (whole(swap)) {
        clear(dataFolder);
        return Status::success();
    }
    // Ended after the mod's file was replaced: the scratch copy finishes the swap.
    if (hashOf(swap.modFile) == swap.backupHash && hashOf(swap.scratchCopy) == swap.modHash) {
        Result<QByteArray> saved = SafeFile::read(swap.scratchCopy, Own);
        if (Status s = saved ? SafeFile::write(swap.backupCopy, saved.value(), Own) : Status::failure(saved.error()); !s)
            return Status::failure(QStringLiteral("An interrupted restore could not be finished: %1\nThe file that "
                                                  "was in the mod folder is kept in %2.")
                                       .arg(s.error(), FileName::shownPath(swap.scratchCopy)));
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
                               .arg(FileName::shownPath(swap.modFile),
                                    kept.isEmpty() ? QString()
                                                   : QStringLiteral(" The file that was in the mod folder before "
                                                                    "is kept in %1.")
                                                         .arg(FileName::shownPath(kept))));
}

} // namespace RestoreJournal
