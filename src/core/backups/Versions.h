#pragma once

#include "settings/Result.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>

// The dated versions of one backed-up file. The backup copy in the mod's
// backup folder is the newest; each backup or restore that replaces it
// first moves it to versions/<file>/<date> beside it, so nothing a player
// backed up is lost until ten newer versions of that file exist.
namespace Versions {

inline constexpr int Kept = 10;
inline constexpr char FolderName[] = "versions";

struct Version
{
    QString path;
    QDateTime when; // when it was backed up
};

// Where the older versions of `file` are kept.
QString folder(const QString &dataFolder, const QString &mod, const QString &file);

// Newest first: the backup copy, when there is one, then the older ones.
QList<Version> of(const QString &dataFolder, const QString &mod, const QString &file);

// How a version is dated in lists and messages.
QString shownDate(const QDateTime &when);

// Moves the backup copy, when there is one, aside as the newest older
// version, by one rename, so the copy's place is free for a new one.
Status pushAside(const QString &dataFolder, const QString &mod, const QString &file);

// Removes the oldest versions beyond `Kept`.
Status prune(const QString &dataFolder, const QString &mod, const QString &file);

enum class Step { CopyWritten };
using StepHook = std::function<void(Step)>;

// Makes `bytes` the newest version: the copy so far is moved aside, the new
// one written, and only then the oldest beyond ten removed. Ended between
// the two, there are eleven until the next backup.
Status add(const QString &dataFolder, const QString &mod, const QString &file, const QByteArray &bytes,
           const StepHook &afterStep = {});

} // namespace Versions
