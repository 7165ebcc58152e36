#include "backups/Restore.h"
#include "settings/FileName.h"

#include "settings/mdlVars.h"
#include "backups/BackupFiles.h"
#include "store/ModStore.h"
#include "backups/RestoreJournal.h"
#include "store/SafeFile.h"
#include "store/StoreNotes.h"
#include "backups/Versions.h"
#include "settings/StoreLock.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace Restore {

namespace {


constexpr auto Own = SafeFile::Links::Refuse;

Status notRestored(const QString &file, const QString &why)
{
    return Status::failure(QStringLiteral("%1 was not restored; no file was changed.\n\n%2").arg(file, why));
}

Status leadsOut(const QString &file, const QString &folder)
{
    return notRestored(file, QStringLiteral("A folder on its way in %1 is a link that leads out of it.")
                                 .arg(FileName::shownPath(folder)));
}

} // namespace

Status RestoreBackup(const mdlVars &vars, const QString &dataFolder, int modSlot, const QString &file,
                     const StepHook &afterStep, StoreLock::Waiter *waiter)
{
    if (modSlot < 0 || modSlot >= mdlVars::ModSlots || vars.strModName[modSlot].isEmpty())
        return Status::failure(QStringLiteral("Please select a mod first."));
    const QString &mod = vars.strModName[modSlot];
    const QString &modFolder = vars.strModDir[modSlot];
    const QList<int> entries = ModStore::backupsOf(vars, modSlot);
    const bool listed = std::any_of(entries.begin(), entries.end(),
                                    [&](int j) { return vars.strBackupFile[j] == file; });
    if (!listed)
        return Status::failure(QStringLiteral("Please select one of the mod's backed-up files first."));
    // data.dat is only a file: its names must not lead out of the store.
    if (!BackupFiles::isBackupName(file))
        return notRestored(file, QStringLiteral("It is not one of the files Tessary backs up."));
    if (Status s = ModStore::checkModName(mod); !s)
        return notRestored(file, s.error());
    if (Status s = ModStore::checkApart(dataFolder, mod, modFolder); !s)
        return notRestored(file, s.error());
    if (!QFileInfo(modFolder).isDir())
        return notRestored(file, QStringLiteral("The mod folder %1 does not exist.").arg(FileName::shownPath(modFolder)));

    // One restore at a time, and never over the traces of one that ended midway.
    const StoreLock lock(dataFolder, 10000, waiter);
    if (!lock)
        return notRestored(file, lock.status().error());
    if (Status s = RestoreJournal::recover(dataFolder, vars); !s)
        return notRestored(file, s.error());

    // Only what the next start may finish is begun: the journal names nothing else.
    for (const QString &folder : {ModStore::backupFolder(dataFolder, mod), ModStore::scratchFolder(dataFolder)})
        if (!StoreNotes::isStoreFolder(folder, dataFolder))
            return notRestored(file, QStringLiteral("%1 is a symbolic link or not a folder of %2.")
                                         .arg(FileName::shownPath(folder), FileName::shownPath(dataFolder)));
    const QString backup = ModStore::backupCopy(dataFolder, mod, file);
    if (backup.isEmpty())
        return leadsOut(file, ModStore::backupFolder(dataFolder, mod));
    Result<QByteArray> backupBytes = SafeFile::read(backup, Own);
    if (!backupBytes)
        return notRestored(file, backupBytes.error());

    QString current = ModStore::findFile(modFolder, file);
    if (current.isEmpty())
        current = BackupFiles::pathIn(modFolder, file);
    if (current.isEmpty())
        return leadsOut(file, modFolder);
    // A restore swaps the two files it names; through a link it would write
    // some other file, unseen.
    if (const QString target = RegularFile::linkTarget(current); !target.isEmpty())
        return notRestored(file, QStringLiteral("%1 is a symbolic link to %2. Tessary does not restore through "
                                                "links; copy the backup there yourself if that is what you want.")
                                     .arg(FileName::shownPath(current), FileName::shownPath(target)));
    if (!QFileInfo::exists(current)) {
        // Nothing to swap with: the backup is put in place and kept, in the
        // subfolder it came from even if the player removed that.
        if (Status s = BackupFiles::makeFolders(modFolder, BackupFiles::subfoldersOf(file)); !s)
            return notRestored(file, s.error());
        if (Status s = SafeFile::write(current, backupBytes.value(), Own); !s)
            return notRestored(file, s.error());
        return Status::success();
    }
    Result<QByteArray> currentBytes = SafeFile::read(current, Own);
    if (!currentBytes)
        return notRestored(file, currentBytes.error());

    const QString scratch = ModStore::scratchFolder(dataFolder);
    if (!QFileInfo(scratch).isDir() && !QDir().mkdir(scratch))
        return notRestored(file, QStringLiteral("The folder %1 cannot be made.").arg(FileName::shownPath(scratch)));
    const QString scratchCopy = ModStore::scratchCopy(dataFolder, file);
    if (scratchCopy.isEmpty())
        return leadsOut(file, scratch);
    if (Status s = BackupFiles::makeFolders(scratch, BackupFiles::subfoldersOf(file)); !s)
        return notRestored(file, s.error());
    const RestoreJournal::Swap swap{current, backup, scratchCopy, RestoreJournal::hash(currentBytes.value()),
                                    RestoreJournal::hash(backupBytes.value())};
    if (Status s = RestoreJournal::write(dataFolder, swap); !s)
        return notRestored(file, s.error());
    const auto step = [&](Step done) {
        if (afterStep)
            afterStep(done);
    };
    // A failed step leaves the note only while the two files are not whole.
    const auto failed = [&](const Status &why) {
        if (RestoreJournal::whole(swap))
            RestoreJournal::clear(dataFolder);
        return why;
    };
    step(Step::JournalWritten);

    if (Status s = SafeFile::write(scratchCopy, currentBytes.value(), Own); !s)
        return failed(notRestored(file, s.error()));
    step(Step::ScratchSaved);

    if (Status s = SafeFile::write(current, backupBytes.value(), Own); !s)
        return failed(notRestored(file, QStringLiteral("%1\nA copy of the file in the mod folder is kept in %2.")
                                            .arg(s.error(), FileName::shownPath(scratchCopy))));
    step(Step::ModFileReplaced);

    if (Status s = SafeFile::write(backup, currentBytes.value(), Own); !s) {
        if (Status back = SafeFile::write(current, currentBytes.value(), Own); !back)
            return failed(Status::failure(QStringLiteral("%1 was not restored.\n\n%2\n\nPutting back the file in "
                                                         "the mod folder failed too: %3\nIts earlier content is kept "
                                                         "in %4.")
                                              .arg(file, s.error(), back.error(), FileName::shownPath(scratchCopy))));
        return failed(notRestored(file, s.error()));
    }
    step(Step::BackupReplaced);
    RestoreJournal::clear(dataFolder);
    return Status::success();
}

Status RestoreVersion(const mdlVars &vars, const QString &dataFolder, int modSlot, const QString &file,
                      const QString &versionPath, const StepHook &afterStep, StoreLock::Waiter *waiter)
{
    if (modSlot < 0 || modSlot >= mdlVars::ModSlots || vars.strModName[modSlot].isEmpty())
        return Status::failure(QStringLiteral("Please select a mod first."));
    if (!BackupFiles::isBackupName(file))
        return notRestored(file, QStringLiteral("It is not one of the files Tessary backs up."));
    const QString &mod = vars.strModName[modSlot];
    if (Status s = ModStore::checkModName(mod); !s)
        return notRestored(file, s.error());
    if (ModStore::backupCopy(dataFolder, mod, file).isEmpty())
        return leadsOut(file, ModStore::backupFolder(dataFolder, mod));
    const QList<Versions::Version> versions = Versions::of(dataFolder, mod, file);
    const auto chosen = std::find_if(versions.begin(), versions.end(),
                                     [&](const Versions::Version &v) { return v.path == versionPath; });
    if (chosen == versions.end())
        return notRestored(file, QStringLiteral("The chosen version %1 is no longer there.").arg(FileName::shownPath(versionPath)));
    if (chosen != versions.begin()) {
        const StoreLock lock(dataFolder, 10000, waiter);
        if (!lock)
            return notRestored(file, lock.status().error());
        Result<QByteArray> bytes = SafeFile::read(versionPath, Own);
        if (!bytes)
            return notRestored(file, bytes.error());
        // The file the same as the newest version is kept there already: it
        // only takes the chosen version's bytes, and no copy of it is added.
        const QString &modFolder = vars.strModDir[modSlot];
        if (Status s = ModStore::checkApart(dataFolder, mod, modFolder); !s)
            return notRestored(file, s.error());
        const QString current = ModStore::findFile(modFolder, file);
        Result<QByteArray> newest = SafeFile::read(ModStore::backupCopy(dataFolder, mod, file), Own);
        Result<QByteArray> now = current.isEmpty() ? Result<QByteArray>(Status::failure(QString()))
                                                   : SafeFile::read(current, Own);
        if (newest && now && newest.value() == now.value()) {
            if (Status s = SafeFile::write(current, bytes.value(), Own); !s)
                return notRestored(file, s.error());
            return Status::success();
        }
        if (Status s = Versions::pushAside(dataFolder, mod, file); !s)
            return notRestored(file, s.error());
        // From here the version is in two places, and nothing is lost if the swap fails.
        if (Status s = SafeFile::write(ModStore::backupCopy(dataFolder, mod, file), bytes.value(), Own); !s)
            return notRestored(file, s.error());
    }
    const Status swapped = RestoreBackup(vars, dataFolder, modSlot, file, afterStep, waiter);
    if (swapped)
        Versions::prune(dataFolder, mod, file); // one left over goes at the next backup
    return swapped;
}

Status RecoverInterrupted(const QString &dataFolder, const mdlVars &vars)
{
    const QFileInfo note(RestoreJournal::path(dataFolder));
    if (!note.exists() && !note.isSymLink())
        return Status::success();
    const StoreLock lock(dataFolder);
    if (!lock)
        return lock.status();
    return RestoreJournal::recover(dataFolder, vars);
}

} // namespace Restore
