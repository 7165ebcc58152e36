#include "backups/Versions.h"
#include "settings/FileName.h"

#include "backups/BackupFiles.h"
#include "store/ModStore.h"
#include "store/SafeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <cstdio>

namespace Versions {

namespace {

// Sorted by name, the stamps sort by date; one taken twice in a millisecond
// gets a number after it, which sorts after it too.
constexpr char StampFormat[] = "yyyyMMdd-HHmmss-zzz";


// A version's name is its date in UTC, written and read on that one clock:
// read as local time, a name falling in a daylight-saving gap (02:30 on the
// day clocks go forward) would be no time at all, and the version lost.
QString stampOf(const QDateTime &when)
{
    return when.toUTC().toString(QLatin1String(StampFormat));
}

QDateTime timeOfStamp(const QString &name)
{
    const qsizetype length = qsizetype(sizeof StampFormat) - 1;
    if (name.size() < length || name[8] != u'-' || name[15] != u'-')
        return {};
    const QDate date = QDate::fromString(name.left(8), QStringLiteral("yyyyMMdd"));
    const QTime time = QTime::fromString(name.mid(9, 6) + name.mid(16, 3), QStringLiteral("HHmmsszzz"));
    return date.isValid() && time.isValid() ? QDateTime(date, time, Qt::UTC) : QDateTime();
}

// A folder of the store that is a link would carry the versions elsewhere.
Status realFolder(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink() || (info.exists() && !info.isDir()))
        return Status::failure(QStringLiteral("%1 is a symbolic link or a file, so no version is kept there.")
                                   .arg(FileName::shownPath(path)));
    if (!info.exists() && !QDir().mkdir(path))
        return Status::failure(QStringLiteral("The folder %1 cannot be made.").arg(FileName::shownPath(path)));
    return Status::success();
}

QStringList olderNames(const QString &dir)
{
    QStringList names = QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    names.removeIf([](const QString &name) { return !timeOfStamp(name).isValid(); });
    return names; // oldest first
}

} // namespace

QString folder(const QString &dataFolder, const QString &mod, const QString &file)
{
    const QString versions = ModStore::backupFolder(dataFolder, mod) + u'/' + QLatin1String(FolderName);
    return BackupFiles::pathIn(versions, file);
}

QList<Version> of(const QString &dataFolder, const QString &mod, const QString &file)
{
    QList<Version> versions;
    const QString dir = folder(dataFolder, mod, file);
    const QString copyPath = ModStore::backupCopy(dataFolder, mod, file);
    if (dir.isEmpty() || copyPath.isEmpty())
        return versions;
    const QFileInfo copy(copyPath);
    if (copy.isFile())
        versions.append({copy.filePath(), copy.lastModified()});
    const QStringList names = olderNames(dir);
    for (auto it = names.crbegin(); it != names.crend(); ++it) {
        versions.append({dir + u'/' + *it, timeOfStamp(*it).toLocalTime()});
    }
    return versions;
}

QString shownDate(const QDateTime &when)
{
    return QLocale().toString(when.toLocalTime(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

Status pushAside(const QString &dataFolder, const QString &mod, const QString &file)
{
    const QString copy = ModStore::backupCopy(dataFolder, mod, file);
    const QString dir = folder(dataFolder, mod, file);
    if (copy.isEmpty() || dir.isEmpty())
        return Status::failure(QStringLiteral("A folder on the way to %1 in %2 is a link that leads out of it.")
                                   .arg(file, FileName::shownPath(ModStore::backupFolder(dataFolder, mod))));
    const QFileInfo info(copy);
    if (!info.exists() && !info.isSymLink())
        return Status::success();
    if (info.isSymLink() || !info.isFile())
        return Status::failure(QStringLiteral("%1 is a symbolic link or not a file; Tessary leaves it alone.")
                                   .arg(FileName::shownPath(copy)));
    // versions/<file>/, each subfolder of a file in a subfolder made on the way.
    QString made = ModStore::backupFolder(dataFolder, mod) + u'/' + QLatin1String(FolderName);
    if (Status s = realFolder(made); !s)
        return s;
    for (const QString &part : file.split(u'/')) {
        made += u'/' + part;
        if (Status s = realFolder(made); !s)
            return s;
    }
    const QString stamp = stampOf(info.lastModified());
    QString target = dir + u'/' + stamp;
    for (int n = 1; QFileInfo(target).exists() || QFileInfo(target).isSymLink(); ++n)
        target = dir + u'/' + stamp + QStringLiteral("-%1").arg(n, 3, 10, QChar(u'0'));
    // rename() keeps the file's date and never copies: the copy is whole in one place or the other.
    if (std::rename(QFile::encodeName(copy).constData(), QFile::encodeName(target).constData()) != 0)
        return Status::failure(QStringLiteral("%1 cannot be moved to %2.").arg(FileName::shownPath(copy), FileName::shownPath(target)));
    return Status::success();
}

Status prune(const QString &dataFolder, const QString &mod, const QString &file)
{
    const QList<Version> versions = of(dataFolder, mod, file);
    QStringList failed;
    for (qsizetype i = Kept; i < versions.size(); ++i)
        if (!QFile::remove(versions[i].path))
            failed << FileName::shownPath(versions[i].path);
    if (!failed.isEmpty())
        return Status::failure(QStringLiteral("These old versions could not be removed:\n%1").arg(failed.join(u'\n')));
    return Status::success();
}

Status add(const QString &dataFolder, const QString &mod, const QString &file, const QByteArray &bytes,
           const StepHook &afterStep)
{
    if (Status s = pushAside(dataFolder, mod, file); !s)
        return s;
    if (Status s = BackupFiles::makeFolders(ModStore::backupFolder(dataFolder, mod),
                                            BackupFiles::subfoldersOf(BackupFiles::storedName(file)));
        !s)
        return s;
    if (Status s = SafeFile::write(ModStore::backupCopy(dataFolder, mod, file), bytes, SafeFile::Links::Refuse); !s)
        return s;
    if (afterStep)
        afterStep(Step::CopyWritten);
    return prune(dataFolder, mod, file);
}

} // namespace Versions
