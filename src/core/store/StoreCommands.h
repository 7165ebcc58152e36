#pragma once

#include "settings/Result.h"

#include <QDateTime>
#include <QString>

#include <functional>

class ModPrompts;
struct mdlVars;

// The settings dialog's buttons: each says what it will do, asks, acts and
// tells what it did, through the prompts.
namespace StoreCommands {

// When the backup copy was made, as a list or a question shows it; empty
// when there is no copy.
QString copyDate(const QString &dataFolder, const QString &mod, const QString &file);

// What a restore put in place: the mod's file and the date of the version
// it came from; an empty file when nothing was restored.
struct Restored
{
    QString modFile;
    QDateTime when;
};

// "Restore Backup" for the selected mod slot (-1 for none), file (empty for
// none) and version (0 for the newest). Shows the difference first; a
// version the same as the file is not swapped.
Restored restore(const mdlVars &vars, const QString &dataFolder, int modSlot, const QString &file, int version,
                 ModPrompts &prompts);

// What an editor showing the restored file tells: "config.cfg was restored
// from the backup of <date>".
QString restoredMessage(const QString &path, const QDateTime &when);

// "Back Up": lists the files of the mod's folder, asks, and adds each as a
// new dated version of its own; a file the same as its newest version is
// left as it is. Files new in the folder get backup entries. `afterCopy`
// is for tests. True when the lists changed.
bool backup(mdlVars &vars, const QString &dataFolder, int modSlot, ModPrompts &prompts,
            const std::function<void()> &afterCopy = {});

// "Del": removes the mod's registration and its backup entries after asking,
// then, asked separately (default no), the copies in its backup folder.
// `save` writes data.dat. True when the registration was removed.
bool remove(mdlVars &vars, const QString &dataFolder, int modSlot, ModPrompts &prompts,
            const std::function<Status()> &save);

} // namespace StoreCommands
