#pragma once

#include "settings/Result.h"

#include <QString>
#include <QStringList>

// The names a player declared fine, per game folder, kept in tessary.ini in
// the data folder: a plugin's command the lists do not know, say. The
// analysis says nothing about them in that folder.
namespace AcceptedNames {

QStringList load(const QString &dataFolder, const QString &gameFolder);
// Adds or takes back one name (letter case ignored), keeping the others.
Status add(const QString &dataFolder, const QString &gameFolder, const QString &name);
Status remove(const QString &dataFolder, const QString &gameFolder, const QString &name);

} // namespace AcceptedNames
