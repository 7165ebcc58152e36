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

// "Restore Backup" for the selected mod slot (-1 for none) and file (empty for none).
void restore(const mdlVars &vars, const QString &dataFolder, int modSlot, const QString &file, ModPrompts &prompts);

// "Del": removes the mod's registration and its backup entries after asking,
// then, asked separately (default no), the copies in its backup folder.
// `save` writes data.dat. True when the registration was removed.
bool remove(mdlVars &vars, const QString &dataFolder, int modSlot, ModPrompts &prompts,
            const std::function<Status()> &save);

} // namespace StoreCommands
