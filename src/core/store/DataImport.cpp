#include "store/DataImport.h"
#include "settings/FileName.h"

#include "backups/BackupFiles.h"
#include "store/ModStore.h"
#include "store/SafeFile.h"
#include "settings/Settings.h"
#include "settings/mdlVars.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <memory>

namespace DataImport {

namespace {


QStringList modNames(const QString &programFolder)
{
    auto vars = std::make_unique<mdlVars>();
    if (!LoadSettings(*vars, programFolder))
        return {};
    QStringList names;
    for (const QString &name : vars->strModName)
        if (!name.isEmpty() && !names.contains(name))
            names << name;
    return names;
}

Status copyFile(const QString &from, const QString &to)
{
    Result<QByteArray> bytes = SafeFile::read(from);
    if (!bytes)
        return Status::failure(bytes.error());
    // Written into the data folder: a link there is not followed.
    return SafeFile::write(to, bytes.value(), SafeFile::Links::Refuse);
}

} // namespace

QStringList modsToOffer(const QString &programFolder, const QString &dataFolder)
{
    if (QDir(programFolder) == QDir(dataFolder) || QFileInfo::exists(Settings::path(dataFolder))
        || !QFileInfo(Settings::path(programFolder)).isFile())
        return {};
    return modNames(programFolder);
}

Status copyInto(const QString &programFolder, const QString &dataFolder)
{
    QStringList failed;
    for (const QString &mod : modNames(programFolder)) {
        // A name that could lead out of the folder is not followed.
        if (!ModStore::checkModName(mod))
            continue;
        const QString from = ModStore::backupFolder(programFolder, mod);
        const QString to = ModStore::backupFolder(dataFolder, mod);
        if (!QFileInfo(from).isDir())
            continue;
        if (!QFileInfo(to).isDir() && !QDir().mkpath(to)) {
            failed << QStringLiteral("%1 cannot be made.").arg(FileName::shownPath(to));
            continue;
        }
        for (const QString &file : QDir(from).entryList(QDir::Files | QDir::Hidden, QDir::Name))
            if (Status s = copyFile(from + u'/' + file, to + u'/' + file); !s)
                failed << s.error();
        // Copies of files in the mod's subfolders keep their layout; links are not followed out.
        QDirIterator below(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (below.hasNext()) {
            const QString file = QDir(from).relativeFilePath(below.next());
            const QString name = BackupFiles::nameOfStored(file);
            if (!file.contains(u'/') || BackupFiles::copyIn(from, name) != from + u'/' + file)
                continue;
            const QString target = BackupFiles::copyIn(to, name);
            Status s = target.isEmpty() ? Status::failure(QStringLiteral("%1 leads out of %2.").arg(file, FileName::shownPath(to)))
                                        : BackupFiles::makeFolders(to, BackupFiles::subfoldersOf(file));
            if (s)
                s = copyFile(from + u'/' + file, target);
            if (!s)
                failed << s.error();
        }
    }
    // The lists last, so a data.dat in the data folder means the backups are there too.
    if (Status s = copyFile(Settings::path(programFolder), Settings::path(dataFolder)); !s)
        failed << s.error();
    if (!failed.isEmpty())
        return Status::failure(failed.join(u'\n'));
    return Status::success();
}

} // namespace DataImport
