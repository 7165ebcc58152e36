#include "store/StoreNotes.h"
#include "settings/FileName.h"

#include "store/FolderOverlap.h"
#include "backups/BackupFiles.h"
#include "store/KnownFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace StoreNotes {

namespace {


// The folder part and the name of a path, split as text: ".." stays where
// it is, for the file system to resolve.
std::pair<QString, QString> split(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return {QString(), path};
    return {slash == 0 ? QStringLiteral("/") : path.left(slash), path.mid(slash + 1)};
}

} // namespace

QString knownFileIn(const QString &path, const QString &folder, bool anyCase, bool backupFolder)
{
    if (!QDir::isAbsolutePath(path) || QFileInfo(path).isSymLink())
        return {};
    const auto [where, name] = split(path);
    for (const char *known : KnownFiles) {
        const QLatin1String file(known);
        // Elsewhere, a known name is a file in a subfolder, found below.
        if (name.compare(file, anyCase ? Qt::CaseInsensitive : Qt::CaseSensitive) == 0
            && FolderOverlap::sameFolder(where, folder))
            return QString(file);
    }
    // Other backed-up files keep their names as they are on disk, and may
    // lie in subfolders: each split of the path into a folder and a name
    // below it is tried, the name's subfolders resolved as pathIn does.
    for (qsizetype slash = path.size(); (slash = path.lastIndexOf(u'/', slash - 1)) > 0;) {
        const QString below = path.mid(slash + 1);
        const QString above = path.left(slash);
        // A backup folder keeps some copies under other names (see storedName).
        const QString name = backupFolder ? BackupFiles::nameOfStored(below) : below;
        if (!BackupFiles::isBackupName(name) || (backupFolder ? BackupFiles::storedName(name) : name) != below)
            continue;
        if (FolderOverlap::sameFolder(above, folder))
            return (backupFolder ? BackupFiles::copyIn(above, name) : BackupFiles::pathIn(above, name)).isEmpty()
                       ? QString()
                       : name;
    }
    return {};
}

bool isStoreFolder(const QString &folder, const QString &dataFolder)
{
    const auto [where, name] = split(folder);
    if (name.isEmpty() || name == u"." || name == u".." || !QDir::isAbsolutePath(folder))
        return false;
    const QFileInfo info(folder);
    if (info.isSymLink() || (info.exists() && !info.isDir()))
        return false;
    return FolderOverlap::sameFolder(where, dataFolder);
}

Status keepAside(const QString &note, const QString &why)
{
    QString aside = note + QStringLiteral(".ignored");
    if (QFileInfo(aside).exists() || QFileInfo(aside).isSymLink())
        aside = note + QDateTime::currentDateTime().toString(QStringLiteral(".yyyyMMdd-hhmmss-zzz")) + QStringLiteral(".ignored");
    // rename() moves a link itself; QFile::rename would look through it.
    const bool moved = std::rename(QFile::encodeName(note).constData(), QFile::encodeName(aside).constData()) == 0;
    return Status::failure(QStringLiteral("Tessary did not act on %1: %2\n\n%3")
                               .arg(FileName::shownPath(note), why,
                                    moved ? QStringLiteral("The note is kept as %1.").arg(FileName::shownPath(aside))
                                          : QStringLiteral("It could not be moved aside and is left as it is.")));
}

} // namespace StoreNotes
