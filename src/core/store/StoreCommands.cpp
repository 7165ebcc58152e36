#include "store/StoreCommands.h"
#include "settings/FileName.h"

#include "backups/BackupFiles.h"
#include "store/ModPrompts.h"
#include "store/ModStore.h"
#include "backups/Restore.h"
#include "store/SafeFile.h"
#include "store/StoreNotes.h"
#include "backups/Versions.h"
#include "settings/CodePage.h"
#include "settings/Settings.h"
#include "settings/StoreLock.h"
#include "settings/mdlVars.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace StoreCommands {

namespace {


} // namespace

QString copyDate(const QString &dataFolder, const QString &mod, const QString &file)
{
    const QList<Versions::Version> versions = Versions::of(dataFolder, mod, file);
    return versions.isEmpty() ? QString() : Versions::shownDate(versions.first().when);
}

Restored restore(const mdlVars &vars, const QString &dataFolder, int modSlot, const QString &file, int version,
                 ModPrompts &prompts)
{
    if (modSlot < 0 || modSlot >= mdlVars::ModSlots || vars.strModName[modSlot].isEmpty()) {
        prompts.inform(QStringLiteral("Select a mod in the Mods list, then the file to restore in the Files list."));
        return {};
    }
    if (file.isEmpty()) {
        prompts.inform(QStringLiteral("Select the file to restore in the Files list."));
        return {};
    }
    const QString &mod = vars.strModName[modSlot];
    const QString folder = FileName::shownPath(vars.strModDir[modSlot]);
    const QList<Versions::Version> versions = Versions::of(dataFolder, mod, file);
    if (version < 0 || version >= versions.size()) {
        prompts.showError(QStringLiteral("%1 has no backup copy in %2.")
                              .arg(file, FileName::shownPath(ModStore::backupFolder(dataFolder, mod))));
        return {};
    }
    const Versions::Version &chosen = versions[version];
    const QString date = Versions::shownDate(chosen.when);
    const QString from = QStringLiteral("the backup of %1").arg(date);
    Result<QByteArray> backupBytes = SafeFile::read(chosen.path, SafeFile::Links::Refuse);
    if (!backupBytes) {
        prompts.showError(backupBytes.error());
        return {};
    }
    const QString found = ModStore::findFile(vars.strModDir[modSlot], file);
    const QString current = QDir::cleanPath(found.isEmpty() ? BackupFiles::pathIn(vars.strModDir[modSlot], file) : found);
    if (current.isEmpty()) {
        prompts.showError(QStringLiteral("%1 was not restored: a folder on its way in %2 is a link that leads out of it.")
                              .arg(file, folder));
        return {};
    }
    QByteArray currentBytes;
    if (!found.isEmpty()) {
        Result<QByteArray> read = SafeFile::read(found);
        if (!read) {
            prompts.showError(read.error());
            return {};
        }
        currentBytes = read.take();
        if (currentBytes == backupBytes.value()) {
            prompts.inform(QStringLiteral("%1 in %2 is the same as %3; nothing was restored.").arg(file, folder, from));
            return {};
        }
    }
    const QString question = !found.isEmpty()
        ? QStringLiteral("Swap %1 in %2 with %3?").arg(file, folder, from)
        : QStringLiteral("%2 has no %1. Put %3 there?").arg(file, folder, from);
    if (!prompts.confirmDifference(question,
                                   found.isEmpty() ? QStringLiteral("%1 (no such file)").arg(FileName::shownPath(current))
                                                   : QStringLiteral("Now: %1").arg(FileName::shownPath(current)),
                                   CodePage::decode(currentBytes),
                                   QStringLiteral("Backup of %1").arg(date), CodePage::decode(backupBytes.value())))
        return {};
    if (const Status done = Restore::RestoreVersion(vars, dataFolder, modSlot, file, chosen.path, {}, &prompts);
        !done) {
        prompts.showError(done.error());
        return {};
    }
    prompts.inform(!found.isEmpty()
                       ? QStringLiteral("%1 in %2 is now %3. The file that was there is now the newest backup; "
                                        "restore it to undo this.")
                             .arg(file, folder, from)
                       : QStringLiteral("%1 in %2 is now %3, which is also kept as the newest backup.")
                             .arg(file, folder, from));
    return {current, chosen.when};
}

QString restoredMessage(const QString &path, const QDateTime &when)
{
    return QStringLiteral("%1 was restored from the backup of %2.").arg(QFileInfo(path).fileName(), Versions::shownDate(when));
}

namespace {

// The files that differ from their newest backed-up version, or have none;
// the others go to `unchanged`. A file that cannot be read counts as
// changed, so the copy says why.
QStringList changedSinceBackup(const QString &dataFolder, const QString &mod, const QString &modFolder,
                               const QStringList &files, QStringList &unchanged)
{
    QStringList changed;
    for (const QString &file : files) {
        const QList<Versions::Version> versions = Versions::of(dataFolder, mod, file);
        const QString source = ModStore::findFile(modFolder, file);
        if (!versions.isEmpty() && !source.isEmpty()) {
            const Result<QByteArray> now = SafeFile::read(source);
            const Result<QByteArray> newest = SafeFile::read(versions.first().path, SafeFile::Links::Refuse);
            if (now && newest && now.value() == newest.value()) {
                unchanged << file;
                continue;
            }
        }
        changed << file;
    }
    return changed;
}

} // namespace

bool backup(mdlVars &vars, const QString &dataFolder, int modSlot, ModPrompts &prompts,
            const std::function<void()> &afterCopy)
{
    if (modSlot < 0 || modSlot >= mdlVars::ModSlots || vars.strModName[modSlot].isEmpty()) {
        prompts.inform(QStringLiteral("Select the mod to back up in the Mods list."));
        return false;
    }
    const QString mod = vars.strModName[modSlot];
    const QString modFolder = vars.strModDir[modSlot];
    if (Status s = ModStore::checkModName(mod); !s) {
        prompts.showError(s.error());
        return false;
    }
    if (Status s = ModStore::checkApart(dataFolder, mod, modFolder); !s) {
        prompts.showError(s.error());
        return false;
    }
    const QString backups = ModStore::backupFolder(dataFolder, mod);
    const QStringList files = BackupFiles::inFolder(modFolder);
    if (files.isEmpty()) {
        prompts.showError(QStringLiteral("%1 holds none of the files Tessary backs up, or does not exist.")
                              .arg(FileName::shownPath(modFolder)));
        return false;
    }
    // Only what changed since the last backup is asked about and copied.
    QStringList unchanged;
    const QStringList changed = changedSinceBackup(dataFolder, mod, modFolder, files, unchanged);
    if (changed.isEmpty()) {
        prompts.inform(QStringLiteral("Nothing changed since the last backup of %1: %2.")
                           .arg(FileName::shownPath(modFolder), unchanged.join(QStringLiteral(", "))));
        return false;
    }
    if (!prompts.confirmFiles(QStringLiteral("These files of %1 changed since the last backup and will be backed up "
                                             "to %2, each as a new dated version (the newest %3 of each are kept):")
                                  .arg(FileName::shownPath(modFolder), FileName::shownPath(backups))
                                  .arg(Versions::Kept),
                              changed))
        return false;

    const StoreLock lock(dataFolder, 10000, &prompts);
    if (!lock) {
        prompts.showError(lock.status().error());
        return false;
    }
    if (!QFileInfo(backups).isDir() && !QDir().mkdir(backups)) {
        prompts.showError(QStringLiteral("The folder %1 cannot be made.").arg(FileName::shownPath(backups)));
        return false;
    }
    if (!StoreNotes::isStoreFolder(backups, dataFolder)) {
        prompts.showError(QStringLiteral("%1 is a symbolic link or not a folder of %2.").arg(FileName::shownPath(backups), FileName::shownPath(dataFolder)));
        return false;
    }
    QStringList failed, copied;
    bool listsChanged = false;
    for (const QString &file : changed) {
        const QString source = ModStore::findFile(modFolder, file);
        if (source.isEmpty()) {
            failed << QStringLiteral("%1: it is no longer in %2, or a folder on its way is a link that leads out of it.")
                          .arg(file, FileName::shownPath(modFolder));
            continue;
        }
        Result<QByteArray> bytes = SafeFile::read(source);
        if (!bytes) {
            failed << bytes.error();
            continue;
        }
        const QList<Versions::Version> versions = Versions::of(dataFolder, mod, file);
        if (!versions.isEmpty()) {
            Result<QByteArray> newest = SafeFile::read(versions.first().path, SafeFile::Links::Refuse);
            if (newest && newest.value() == bytes.value()) {
                unchanged << file;
                continue;
            }
        }
        const QList<int> entries = ModStore::backupsOf(vars, modSlot);
        const bool listed = std::any_of(entries.begin(), entries.end(),
                                        [&](int j) { return vars.strBackupFile[j] == file; });
        const int slot = listed ? -1 : Settings::firstEmptySlot(vars.strBackupFile.data(), mdlVars::StoredBackupSlots);
        if (slot == mdlVars::StoredBackupSlots) {
            failed << QStringLiteral("%1: the backup list is full.").arg(file);
            continue;
        }
        bool written = false;
        if (Status s = Versions::add(dataFolder, mod, file, bytes.value(),
                                     [&](Versions::Step step) {
                                         written = written || step == Versions::Step::CopyWritten;
                                         if (afterCopy)
                                             afterCopy();
                                     });
            !s) {
            failed << s.error();
            // Written but not pruned is still a backup. The copy merely being
            // there is not: it may be the old one, the new never written.
            if (!written)
                continue;
        }
        copied << file;
        if (slot >= 0) {
            vars.strBackupFile[slot] = file;
            vars.strBackupMod[slot] = mod;
            listsChanged = true;
        }
    }
    vars.intBackupCount = qint16(Settings::firstEmptySlot(vars.strBackupFile.data(), mdlVars::BackupSlots));
    QString told;
    if (!copied.isEmpty())
        told += QStringLiteral("Backed up: %1.").arg(copied.join(QStringLiteral(", ")));
    if (!unchanged.isEmpty())
        told += (told.isEmpty() ? QString() : QStringLiteral("\n\n"))
            + QStringLiteral("The same as their newest backup, so not copied again: %1.")
                  .arg(unchanged.join(QStringLiteral(", ")));
    if (!failed.isEmpty())
        prompts.showError(told + QStringLiteral("\n\nNot backed up:\n%1").arg(failed.join(u'\n')));
    else
        prompts.inform(told);
    return listsChanged;
}

bool remove(mdlVars &vars, const QString &dataFolder, int modSlot, ModPrompts &prompts,
            const std::function<Status()> &save)
{
    if (modSlot < 0 || modSlot >= mdlVars::ModSlots || vars.strModName[modSlot].isEmpty()) {
        prompts.inform(QStringLiteral("Select the mod to remove in the Mods list."));
        return false;
    }
    const QString name = vars.strModName[modSlot];
    const QString modFolder = vars.strModDir[modSlot];
    if (!prompts.confirm(QStringLiteral("Remove the mod \"%1\" (%2) from the list?\n\nIts files in the mod folder "
                                        "are not touched.")
                             .arg(name, FileName::shownPath(modFolder))))
        return false;

    // Entries belong to a name; another mod of the same name keeps them and the folder.
    bool nameShared = false;
    for (int i = 0; i < mdlVars::ModSlots; ++i)
        nameShared |= i != modSlot && vars.strModName[i] == name;
    QStringList files;
    for (int j : ModStore::backupsOf(vars, modSlot))
        if (BackupFiles::isBackupName(vars.strBackupFile[j]) && !files.contains(vars.strBackupFile[j]))
            files << vars.strBackupFile[j];
    vars.strModName[modSlot].clear();
    vars.strModDir[modSlot].clear();
    if (!nameShared) {
        for (int j = 0; j < mdlVars::BackupSlots; ++j) {
            if (vars.strBackupMod[j] == name) {
                vars.strBackupFile[j].clear();
                vars.strBackupMod[j].clear();
            }
        }
    }
    if (const Status saved = save(); !saved)
        prompts.showError(QStringLiteral("The mod list was not saved.\n\n%1").arg(saved.error()));

    const QString backups = ModStore::backupFolder(dataFolder, name);
    if (nameShared || !ModStore::checkModName(name) || !QFileInfo(backups).isDir()
        || !StoreNotes::isStoreFolder(backups, dataFolder) || !ModStore::checkApart(dataFolder, name, modFolder))
        return true; // nothing of its own to delete, or the folder is not safely apart from live files
    if (!prompts.confirm(QStringLiteral("Also delete the backup folder %1 and the backup copies in it?\n\nChoose No "
                                        "to keep them.")
                             .arg(FileName::shownPath(backups))))
        return true;
    QStringList left;
    for (const QString &file : files) {
        for (const Versions::Version &version : Versions::of(dataFolder, name, file))
            if (!QFile::remove(version.path))
                left << FileName::shownPath(version.path);
        const QString versions = backups + u'/' + QLatin1String(Versions::FolderName);
        if (QDir().rmdir(Versions::folder(dataFolder, name, file)))
            BackupFiles::removeEmptyFolders(versions, file);
        BackupFiles::removeEmptyFolders(backups, BackupFiles::storedName(file));
    }
    QDir().rmdir(backups + u'/' + QLatin1String(Versions::FolderName));
    // Only the copies Tessary makes are deleted; anything else keeps the folder.
    if (!QDir().rmdir(backups) && left.isEmpty())
        left << QStringLiteral("other files in %1, which were kept").arg(FileName::shownPath(backups));
    if (!left.isEmpty())
        prompts.showError(QStringLiteral("Not everything was deleted:\n%1").arg(left.join(u'\n')));
    return true;
}

} // namespace StoreCommands
