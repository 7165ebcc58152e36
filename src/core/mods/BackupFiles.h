#pragma once

#include <QStringList>

// Which files of a mod's folder its backups hold, and under which names.
namespace BackupFiles {

// The player's own settings. The engine rewrites config.cfg whenever the
// settings change, tells players in its first lines to keep their own in
// userconfig.cfg, and ends it with "exec userconfig.cfg"
// (dreamstalker/rehlds, rehlds/engine/host.cpp, Host_WriteConfiguration).
inline constexpr char UserConfig[] = "userconfig.cfg";

// The files the folder's start-up order brings in beyond the known ones, by
// their names on disk. Until that order is worked out, every .cfg directly
// in the folder: it holds each file the start-up order can exec, and more.
QStringList startupFiles(const QString &folder);

// What a backup of `folder` copies, by the names the store gives them: the
// known files in their table order, userconfig.cfg, then startupFiles() in
// name order; each file once, whatever the case of its name.
QStringList inFolder(const QString &folder);

// Whether `name` can be a backed-up file: one of those above, named
// without a path, so a name read from data.dat never leads out of a folder.
bool isBackupName(const QString &name);

} // namespace BackupFiles
