#pragma once

#include "settings/Result.h"
#include "settings/StoreLock.h"

#include <QString>

struct mdlVars;

// data.dat in the data folder (beside the program, or the user's own when
// installed): the mod and backup lists as records.
//   1 to 501       strModName(i)     at i + 1
//   502 to 1002    strModDir(i)      at i + 502
//   1004 to 1504   strBackupFile(i)  at i + 1004
//   2006 to 2506   strBackupMod(i)   at i + 2006
// Records 1003, 1505 to 2005 and any beyond 2506 belong to nobody and keep
// their bytes. The backup entries the records cannot hold (slots above 500,
// a name too long or outside the code page, or a file in a subfolder) are
// kept in data.dat.extra beside it, one per line; an older data.dat without
// it reads as before.
namespace Settings {

constexpr int LastRecord = 2506;
// data.dat is rewritten whole on each save; a file far past its records (a
// sparse gigabyte) is read up to here and never written, so nothing beyond is lost.
constexpr qint64 LargestFile = 4 * 1024 * 1024;

QString path(const QString &dataFolder);
QString extraPath(const QString &dataFolder);

// Slot of the first empty name at or after 0, or the slot count when none is free.
int firstEmptySlot(const QString *names, int count);

} // namespace Settings

// Reads the lists and points both counters at the first free slot, so an
// entry added after a restart never overwrites a stored one. A missing
// file is created empty.
Status LoadSettings(mdlVars &vars, const QString &dataFolder);

// Writes the lists under the store's lock. data.dat is read afresh first and
// only the slots this editor changed since it last read or wrote the file
// take its values, so what another editor saved meanwhile is kept; an entry
// both filled moves to a free slot. The lists then hold what the file holds.
// On failure data.dat keeps every byte it had. `waiter`, when given, answers
// what the store's lock asks.
Status SaveSettings(mdlVars &vars, const QString &dataFolder, StoreLock::Waiter *waiter = nullptr);

// Takes in what other editors saved since this one last read or wrote
// data.dat, keeping this editor's own unsaved changes; writes nothing.
Status RefreshSettings(mdlVars &vars, const QString &dataFolder, StoreLock::Waiter *waiter = nullptr);

// Whether SaveSettings could replace data.dat, found out without changing it,
// so the user learns of a read-only data folder at start, not at exit.
Status CheckSettingsWritable(const QString &dataFolder);
