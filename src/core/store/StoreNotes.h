#pragma once

#include "settings/Result.h"

#include <QString>

// The restore journal and the pending-add notes are data this program
// wrote, not orders: anyone who can write the data folder can write them.
// Before a note is acted on, every path in it must be one the store itself
// would write, checked as the file system resolves it; a note that fails is
// not acted on and is kept aside for the user to look at.
namespace StoreNotes {

// The backed-up file `path` names, when it is `<folder>/<file>` (a known
// file's name in any case with `anyCase`; another backup name as it stands,
// subfolders included), `folder` is the same folder as the file system
// resolves it, the file's subfolders lead nowhere out of it, and the path
// itself is not a symbolic link; otherwise empty.
// `backupFolder`: the folder is a mod's backup folder, which keeps some
// copies under names of their own (BackupFiles::storedName).
QString knownFileIn(const QString &path, const QString &folder, bool anyCase = false, bool backupFolder = false);

// Whether `folder` is a folder directly inside `dataFolder`, or will be made
// there, and is not a symbolic link.
bool isStoreFolder(const QString &folder, const QString &dataFolder);

// Renames a note that was not acted on to "<note>.ignored" (a link is
// renamed, never followed) and returns the one message that names it and
// says why.
Status keepAside(const QString &note, const QString &why);

} // namespace StoreNotes
