#pragma once

#include "settings/Result.h"

#include <QStringList>

// Which files of a mod's folder its backups hold, and under which names. A
// name is the file's path relative to the mod folder, with '/' between its
// parts ("cfg/binds.cfg"); the same path places its copy in the backup
// folder.
namespace BackupFiles {

// The player's own settings. The engine rewrites config.cfg whenever the
// settings change, tells players in its first lines to keep their own in
// userconfig.cfg, and ends it with "exec userconfig.cfg"
// (dreamstalker/rehlds, rehlds/engine/host.cpp, Host_WriteConfiguration).
inline constexpr char UserConfig[] = "userconfig.cfg";

// The files the folder's start-up order runs that lie inside the folder,
// subfolders included, then every .cfg directly in it that the order does
// not run (players exec those by hand), by their names on disk.
QStringList startupFiles(const QString &folder);

// What a backup of `folder` copies, by the names the store gives them: the
// known files in their table order, userconfig.cfg, then startupFiles();
// each file once, whatever the case of its name.
QStringList inFolder(const QString &folder);

// Whether `name` can be a backed-up file: a known file, or a .cfg or .rc
// file, directly in the folder or below it by plain parts (no "..", ".",
// empty part, leading '/', '\\', ':' or control character), its first
// folder not starting with '~' (see storedName). A name read from data.dat
// is only data.
bool isBackupName(const QString &name);

// Where a backup folder keeps the copy of `name`, below it. The folder's own
// "versions" holds the dated versions, so the copy of a file in a mod
// subfolder of that name ("versions/x.cfg", which a start-up order may
// exec) goes to "~versions/x.cfg": the game refuses '~' in an exec'd name
// (GameFolder's ExecRules), so no mod file has that name of its own.
QString storedName(const QString &name);
// The name whose copy is kept at `stored`; the inverse of storedName.
QString nameOfStored(const QString &stored);

// `backupFolder`/storedName(`name`), checked as pathIn checks.
QString copyIn(const QString &backupFolder, const QString &name);

// `folder`/`name`, when `name` is a backup name and every subfolder of it
// that exists lies inside `folder` as the file system resolves links;
// otherwise empty. Subfolders that do not exist yet are fine.
QString pathIn(const QString &folder, const QString &name);

// Makes the folders of `subfolders` ("cfg/scripts", or empty) in `folder`,
// one at a time, refusing a part that is a link or a file.
Status makeFolders(const QString &folder, const QString &subfolders);

// The subfolders `name` lies in, or empty for a name directly in the folder.
QString subfoldersOf(const QString &name);

// Removes the subfolders of `name` in `folder` that are left empty, the
// deepest first; a folder holding anything stays.
void removeEmptyFolders(const QString &folder, const QString &name);

} // namespace BackupFiles
