#include "settings/DataFolder.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace DataFolder {

bool canWrite(const QString &folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(folder + QStringLiteral("/.tessary-probe-XXXXXX"));
    return probe.open();
}

QString choose(const QString &programFolder, const QString &userFolder, const IsWritable &isWritable)
{
    const bool installed = QFileInfo::exists(programFolder + u'/' + QLatin1StringView(InstalledMarker));
    if (!installed && isWritable(programFolder))
        return programFolder;
    if (!userFolder.isEmpty() && QDir().mkpath(userFolder) && isWritable(userFolder))
        return userFolder;
    return programFolder;
}

QString forProgram(const QString &programFolder)
{
    return choose(programFolder, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

} // namespace DataFolder
