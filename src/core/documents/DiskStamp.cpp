#include "documents/DiskStamp.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace {

// Coarser than any file system's time stamps (FAT keeps two seconds).
constexpr qint64 TimeResolutionMs = 2000;

DiskStamp statOnly(const QString &path)
{
    DiskStamp stamp;
    stamp.known = true;
    const QFileInfo info(path);
    stamp.exists = info.exists();
    if (!stamp.exists)
        return stamp;
    stamp.size = info.size();
    stamp.modified = info.lastModified().toUTC();
    const qint64 age = stamp.modified.msecsTo(QDateTime::currentDateTimeUtc());
    stamp.racy = age < TimeResolutionMs;
    return stamp;
}

size_t hashOf(QByteArrayView bytes)
{
    return qHash(bytes, 0);
}

} // namespace

DiskStamp DiskStamp::taken(const QString &path, QByteArrayView bytes)
{
    DiskStamp stamp = statOnly(path);
    stamp.hash = hashOf(bytes);
    return stamp;
}

DiskStamp DiskStamp::read(const QString &path)
{
    DiskStamp stamp = statOnly(path);
    if (!stamp.exists)
        return stamp;
    QFile file(path);
    // Devices and pipes have no content to compare; their size and time stand.
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return stamp;
    // Read, never mapped: a file shrinking meanwhile must not end the program.
    stamp.hash = hashOf(file.readAll());
    return stamp;
}

DiskStamp::Change DiskStamp::check(const QString &path, DiskStamp *now) const
{
    DiskStamp current = statOnly(path);
    Change change = Change::Same;
    if (!current.exists) {
        change = exists ? Change::Deleted : Change::Same;
    } else if (!exists || current.size != size) {
        change = Change::Changed;
    } else if (current.modified == modified && !racy) {
        current.hash = hash;
    } else {
        current = read(path);
        change = current.hash == hash && current.size == size ? Change::Same : Change::Changed;
    }
    if (now)
        *now = current;
    return change;
}
