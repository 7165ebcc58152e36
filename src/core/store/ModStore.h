#pragma once

#include "settings/Result.h"

#include <QList>
#include <QString>

class ModPrompts;
class PendingAdds;
struct mdlVars;

// The backup store in the data folder: one folder per mod name holding
// copies of its known files, and the restore's scratch folder.
namespace ModStore {

inline constexpr char ScratchName[] = "temp";

QString backupFolder(const QString &dataFolder, const QString &modName);
// Where the copy of the backed-up `file` is kept, at the same relative path
// as in the mod folder; empty when `file` is not a backup name or a
// subfolder of it leads out of the backup folder (BackupFiles::pathIn).
QString backupCopy(const QString &dataFolder, const QString &modName, const QString &file);
QString scratchFolder(const QString &dataFolder);
// The same in the restore's scratch folder.
QString scratchCopy(const QString &dataFolder, const QString &file);

// Why a name cannot become a folder of the store and a data.dat record, or
// success.
Status checkModName(const QString &name);
Status checkModFolder(const QString &folder);

// Refuses a mod whose backup folder would be its own folder, lie inside
// it or hold it.
Status checkApart(const QString &dataFolder, const QString &name, const QString &folder);

// Refuses a folder that does not exist, is a file, or is already the folder
// of a listed mod, compared as the file system resolves them.
Status checkNewFolder(const mdlVars &vars, const QString &folder);

// The path of the backed-up file `name` in `folder`, its own name found
// without regard to case as the game's folders are; an exact match wins.
// Empty when none, or when `name` would lead out of `folder`.
QString findFile(const QString &folder, const QString &name);

// The mod slots in list order: every slot whose name is not empty.
QList<int> listedMods(const mdlVars &vars);

// The backup entries of the mod in `modSlot`, in table order.
QList<int> backupsOf(const mdlVars &vars, int modSlot);

struct AddOutcome
{
    bool added = false;
    int modSlot = -1;
    QList<int> backupSlots; // entries recorded, in known-file order
    QString message;        // why nothing was added, or what could not be copied
};

// Registers a mod and backs up the known files its folder holds. Refuses,
// before anything is made or stored, a name or folder a record or the store
// cannot hold, a full mod or backup list, or a data folder that cannot
// take the backup folder. Asks before replacing backup copies that differ.
// With `pending`, what the add makes is noted there first, so it can be
// taken back until data.dat is saved.
AddOutcome AddMod(mdlVars &vars, const QString &dataFolder, const QString &name, const QString &folder,
                  ModPrompts &prompts, PendingAdds *pending = nullptr);

} // namespace ModStore
