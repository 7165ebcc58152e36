#pragma once

#include "settings/Result.h"

#include <QByteArray>
#include <QString>

struct mdlVars;

// The note a restore leaves beside data.dat while it swaps two files: which
// files, and what each held before. Should the editor end in the middle,
// the next start or the next restore reads it and finishes the swap or
// puts it back, so the mod's file and its backup are both whole again.
namespace RestoreJournal {

struct Swap
{
    QString modFile;
    QString backupCopy;
    QString scratchCopy; // holds the mod file's earlier bytes once saved
    QByteArray modHash;  // of the bytes each held before the swap
    QByteArray backupHash;
};

QString path(const QString &dataFolder);
QByteArray hash(const QByteArray &bytes);

Status write(const QString &dataFolder, const Swap &swap);

// Removes the note once both files are whole, the swap done or undone.
void clear(const QString &dataFolder);

// Finishes or undoes an interrupted swap and removes the note. Success when
// there was none or all is whole again; otherwise what the user must know.
// Only a note whose files are a known file of a mod `vars` lists, its backup
// copy and the scratch copy is acted on; any other, or a link, is kept
// aside and named. The caller holds the store's lock.
Status recover(const QString &dataFolder, const mdlVars &vars);

// Whether the two files now hold their earlier bytes, swapped or not.
bool whole(const Swap &swap);

} // namespace RestoreJournal
