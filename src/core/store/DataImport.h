#pragma once

#include "settings/Result.h"

#include <QString>
#include <QStringList>

// An installed copy keeps its mods in the user's data folder. Mods kept by
// an earlier copy in a program folder the user cannot write are not lost:
// the first start offers to copy them over.
namespace DataImport {

// The mods of the program folder's data.dat, when the data folder is another
// one and holds no data.dat yet; otherwise empty.
QStringList modsToOffer(const QString &programFolder, const QString &dataFolder);

// Copies data.dat and each mod's backup folder from the program folder into
// the data folder. The program folder is only read. A file that cannot be
// copied is named in the failure; what was copied stays.
Status copyInto(const QString &programFolder, const QString &dataFolder);

} // namespace DataImport
