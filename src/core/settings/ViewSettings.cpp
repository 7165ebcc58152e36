#include "settings/ViewSettings.h"

#include "settings/FileName.h"
#include "settings/RegularFile.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSet>
#include <QSettings>

namespace {

const QString RecentKey = QStringLiteral("recent/files");
// When each was opened, in the same order; a list of another length (an
// older editor wrote the files alone) leaves them all untimed.
const QString RecentTimesKey = QStringLiteral("recent/opened");
// Files a window took off the list, and when.
const QString RemovedKey = QStringLiteral("recent/removed");
const QString RemovedTimesKey = QStringLiteral("recent/removedAt");
// Windows of one data folder take turns to merge and write.
// Another window holds it for a few milliseconds; longer would be felt.
constexpr int MergeWaitMs = 1000;
const QString GeometryKey = QStringLiteral("window/geometry");
const QString ZoomKey = QStringLiteral("view/zoom");
const QString FamiliesOffKey = QStringLiteral("catalogue/familiesOff");
const QString CompletionKey = QStringLiteral("view/completion");
constexpr int ZoomLimit = 40;
const QString LineNumbersKey = QStringLiteral("view/lineNumbers");
const QString FontFamilyKey = QStringLiteral("view/fontFamily");
const QString FontPointsKey = QStringLiteral("view/fontPoints");
const QString SessionFilesKey = QStringLiteral("session/files");
const QString SessionCurrentKey = QStringLiteral("session/current");

// The INI file is UTF-8, so a name that is not (see FileName) is written
// as its bytes, which QSettings keeps exactly.
QVariant storedName(const QString &path)
{
    return FileName::hasRawBytes(path) ? QVariant(FileName::toNative(path)) : QVariant(path);
}

QString readName(const QVariant &stored)
{
    return stored.typeId() == QMetaType::QByteArray ? FileName::fromNative(stored.toByteArray()) : stored.toString();
}

// QSettings reads a list of one back as that one value.
QVariantList asList(const QVariant &value)
{
    if (value.typeId() == QMetaType::QVariantList || value.typeId() == QMetaType::QStringList)
        return value.toList();
    return value.isValid() ? QVariantList{value} : QVariantList();
}

QList<RecentFiles::Entry> timed(const QSettings &file, const QString &pathsKey, const QString &timesKey)
{
    const QVariantList paths = asList(file.value(pathsKey));
    const QStringList times = file.value(timesKey).toStringList();
    QList<RecentFiles::Entry> entries;
    for (qsizetype i = 0; i < paths.size(); ++i)
        entries.append({readName(paths[i]), times.size() == paths.size() ? times[i].toLongLong() : 0});
    return entries;
}

void putTimed(QSettings &file, const QString &pathsKey, const QString &timesKey, const QList<RecentFiles::Entry> &entries)
{
    QVariantList paths;
    QStringList times;
    for (const RecentFiles::Entry &entry : entries) {
        paths.append(storedName(entry.path));
        times.append(QString::number(entry.at));
    }
    if (entries.isEmpty()) {
        file.remove(pathsKey);
        file.remove(timesKey);
        return;
    }
    file.setValue(pathsKey, paths);
    file.setValue(timesKey, times);
}

RecentFiles::Stored storedRecent(const QSettings &file)
{
    return {timed(file, RecentKey, RecentTimesKey), timed(file, RemovedKey, RemovedTimesKey)};
}

void storeRecent(QSettings &file, const RecentFiles &recent)
{
    putTimed(file, RecentKey, RecentTimesKey, recent.stored().opened);
    putTimed(file, RemovedKey, RemovedTimesKey, recent.stored().removed);
}

// QSettings opens its file by name: it would follow a link (and write the
// user's settings over whatever it leads to) and wait for ever on a named
// pipe. Like the store's own files, the file is taken only when it is a
// regular file or not there yet.
Status usable(const QString &file)
{
    return RegularFile::check(file, RegularFile::Links::Refuse);
}

} // namespace

QString ViewSettings::path(const QString &dataFolder)
{
    return dataFolder + QStringLiteral("/tessary.ini");
}

ViewSettings ViewSettings::load(const QString &dataFolder, Status *status)
{
    ViewSettings view;
    const Status regular = usable(path(dataFolder));
    if (status)
        *status = regular;
    if (!regular)
        return view;
    const QSettings file(path(dataFolder), QSettings::IniFormat);
    view.m_recent.takeIn(storedRecent(file));
    view.geometry = file.value(GeometryKey).toByteArray();
    view.zoom = qBound(-ZoomLimit, file.value(ZoomKey, 0).toInt(), ZoomLimit);
    for (const QString &id : file.value(FamiliesOffKey).toStringList()) {
        if (!id.isEmpty() && !view.familiesOff.contains(id))
            view.familiesOff.append(id);
    }
    view.lineNumbers = file.value(LineNumbersKey, true).toBool();
    view.completion = file.value(CompletionKey, true).toBool();
    // A size the box cannot show (a damaged file) gives the default font back.
    bool number = false;
    const double points = file.value(FontPointsKey).toDouble(&number);
    const QString family = file.value(FontFamilyKey).toString().trimmed();
    if (number && !family.isEmpty() && points >= SmallestFont && points <= LargestFont) {
        view.fontFamily = family;
        view.fontPoints = points;
    }
    // A set, not a search of the list: a session of 100,000 names is read at once.
    QSet<QString> seen;
    for (const QVariant &stored : asList(file.value(SessionFilesKey))) {
        const QString open = readName(stored);
        if (!open.isEmpty() && !seen.contains(open)) {
            seen.insert(open);
            view.sessionFiles.append(open);
        }
    }
    const int last = qMax(0, int(view.sessionFiles.size()) - 1);
    view.sessionCurrent = qBound(0, file.value(SessionCurrentKey, 0).toInt(), last);
    return view;
}

Status ViewSettings::save(const QString &dataFolder)
{
    return write(dataFolder, true);
}

Status ViewSettings::saveRecentFiles(const QString &dataFolder)
{
    return write(dataFolder, false);
}

void ViewSettings::refreshRecentFiles(const QString &dataFolder)
{
    if (!usable(path(dataFolder)))
        return;
    m_recent.takeIn(storedRecent(QSettings(path(dataFolder), QSettings::IniFormat)));
}

Status ViewSettings::write(const QString &dataFolder, bool everything)
{
    const QString file = path(dataFolder);
    if (Status regular = usable(file); !regular)
        return regular;
    // Held from reading the other windows' list to writing the merged one.
    QLockFile turn(file + QStringLiteral(".merge"));
    if (!turn.tryLock(MergeWaitMs)) {
        return Status::failure(turn.error() == QLockFile::LockFailedError
                                   ? QStringLiteral("%1 could not be written: another window kept it busy.")
                                         .arg(QDir::toNativeSeparators(file))
                                   : QStringLiteral("%1 could not be written.").arg(QDir::toNativeSeparators(file)));
    }
    if (Status regular = usable(file); !regular)
        return regular; // made a link or a pipe while waiting for the turn
    QSettings settings(file, QSettings::IniFormat);
    m_recent.takeIn(storedRecent(settings));
    storeRecent(settings, m_recent);
    if (everything) {
        settings.setValue(GeometryKey, geometry);
        settings.setValue(ZoomKey, zoom);
        settings.setValue(FamiliesOffKey, familiesOff);
        settings.setValue(LineNumbersKey, lineNumbers);
        settings.setValue(CompletionKey, completion);
        settings.setValue(FontFamilyKey, fontFamily);
        settings.setValue(FontPointsKey, fontFamily.isEmpty() ? 0.0 : fontPoints);
        QVariantList session;
        for (const QString &name : sessionFiles)
            session.append(storedName(name));
        settings.setValue(SessionFilesKey, session);
        settings.setValue(SessionCurrentKey, sessionCurrent);
    }
    settings.sync();
    // A damaged file read before writing says FormatError, yet is written over.
    if (settings.status() == QSettings::AccessError)
        return Status::failure(QStringLiteral("%1 could not be written.").arg(QDir::toNativeSeparators(file)));
    m_recent.written();
    return Status::success();
}

void ViewSettings::addRecentFile(const QString &path, qint64 now)
{
    m_recent.add(path, now);
}

void ViewSettings::removeRecentFile(const QString &path, qint64 now)
{
    m_recent.remove(path, now);
}
