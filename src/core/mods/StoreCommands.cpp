#include "mods/StoreCommands.h"

#include "mods/BackupFiles.h"
#include "mods/ModPrompts.h"
#include "mods/ModStore.h"
#include "mods/Restore.h"
#include "mods/StoreNotes.h"
#include "settings/mdlVars.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace StoreCommands {

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

QString copyDate(const QString &dataFolder, const QString &mod, const QString &file)
{
    const QFileInfo copy(ModStore::backupCopy(dataFolder, mod, file));
    if (!copy.isFile())
        return {};
    return QLocale().toString(copy.lastModified(), QLocale::ShortFormat);
}

void restore(const mdlVars &vars, const QString &dataFolder, int modSlot, const QString &file, ModPrompts &prompts)
{
    if (modSlot < 0 || modSlot >= mdlVars::ModSlots || vars.strModName[modSlot].isEmpty()) {
        prompts.inform(QStringLiteral("Select a mod in the Mods list, then the file to restore in the Files list."));
        return;
    }
    if (file.isEmpty()) {
        prompts.inform(QStringLiteral("Select the file to restore in the Files list."));
        return;
    }
    const QString &mod = vars.strModName[modSlot];
    const QString folder = shown(vars.strModDir[modSlot]);
    const QString date = copyDate(dataFolder, mod, file);
    const QString from = date.isEmpty() ? QStringLiteral("the backup copy") : QStringLiteral("the backup copy from %1").arg(date);
    const bool swaps = !ModStore::findFile(vars.strModDir[modSlot], file).isEmpty();
    const QString question = swaps ? QStringLiteral("Swap %1 in %2 with %3?").arg(file, folder, from)
                                   : QStringLiteral("%2 has no %1. Put %3 there?").arg(file, folder, from);
    if (!prompts.confirm(question))
        return;
    if (const Status done = Restore::RestoreBackup(vars, dataFolder, modSlot, file, {}, &prompts); !done) {
        prompts.showError(done.error());
        return;
    }
    prompts.inform(swaps ? QStringLiteral("%1 in %2 is now %3. The file that was there is now the backup copy; "
                                          "restore it again to swap back.")
                               .arg(file, folder, from)
                         : QStringLiteral("%1 in %2 is now %3, which is also kept as the backup copy.")
                               .arg(file, folder, from));
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
                             .arg(name, shown(modFolder))))
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
                             .arg(shown(backups))))
        return true;
    QStringList left;
    for (const QString &file : files) {
        const QString copy = ModStore::backupCopy(dataFolder, name, file);
        if (QFileInfo(copy).isFile() && !QFile::remove(copy))
            left << shown(copy);
    }
    // Only the copies Tessary makes are deleted; anything else keeps the folder.
    if (!QDir().rmdir(backups) && left.isEmpty())
        left << QStringLiteral("other files in %1, which were kept").arg(shown(backups));
    if (!left.isEmpty())
        prompts.showError(QStringLiteral("Not everything was deleted:\n%1").arg(left.join(u'\n')));
    return true;
}

} // namespace StoreCommands
