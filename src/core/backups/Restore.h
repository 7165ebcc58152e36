#pragma once

#include "settings/Result.h"
#include "settings/StoreLock.h"

#include <QString>

#include <functional>

struct mdlVars;

// Swaps a backup copy with the file of the same name in its mod's folder,
// so a second restore brings the first state back. Each of the two contents
// exists in full on disk at every moment: the mod's file is saved to the
// scratch folder first, and each file is replaced by a rename. The first step
// that fails stops the swap and puts back what had changed; the result then
// says what failed. A mod entered twice swaps once. A note written before
// the first change lets the next start finish a swap the editor could not.
namespace Restore {

enum class Step { JournalWritten, ScratchSaved, ModFileReplaced, BackupReplaced };

// Called after each step that succeeded; tests change the disk here.
using StepHook = std::function<void(Step)>;

Status RestoreBackup(const mdlVars &vars, const QString &dataFolder, int modSlot, const QString &file,
                     const StepHook &afterStep = {}, StoreLock::Waiter *waiter = nullptr);

// Restores one of the file's dated versions: an older one first becomes the
// backup copy (the copy so far kept as a version), then the swap above puts
// it in the mod's folder and makes the file it replaces the newest version,
// so restoring that version undoes the restore.
Status RestoreVersion(const mdlVars &vars, const QString &dataFolder, int modSlot, const QString &file,
                      const QString &versionPath, const StepHook &afterStep = {},
                      StoreLock::Waiter *waiter = nullptr);

// Finishes or undoes a swap that an earlier run left midway, of a mod the
// loaded lists hold; run at start.
Status RecoverInterrupted(const QString &dataFolder, const mdlVars &vars);

} // namespace Restore
