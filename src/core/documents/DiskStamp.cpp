#include "documents/DiskStamp.h"

#include "settings/FileName.h"
#include "settings/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <optional>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

// Coarser than any file system's time stamps (FAT keeps two seconds).
constexpr qint64 TimeResolutionMs = 2000;

DiskStamp statOnly(const QString &path)
{
    DiskStamp stamp;
    stamp.known = true;
#ifdef Q_OS_UNIX
    // Through the name's own bytes (see FileName).
    struct stat st = {};
    stamp.exists = ::stat(FileName::toNative(path).constData(), &st) == 0;
    if (!stamp.exists)
        return stamp;
    stamp.size = st.st_size;
    stamp.modified = QDateTime::fromMSecsSinceEpoch(qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000,
                                                    Qt::UTC);
#else
    const QFileInfo info(path);
    stamp.exists = info.exists();
    if (!stamp.exists)
        return stamp;
    stamp.size = info.size();
    stamp.modified = info.lastModified().toUTC();
#endif
    const qint64 age = stamp.modified.msecsTo(QDateTime::currentDateTimeUtc());
    stamp.racy = age < TimeResolutionMs;
    return stamp;
}

size_t hashOf(QByteArrayView bytes)
{
    return qHash(bytes, 0);
}

// The content's hash; none for a file that cannot be read. Devices and pipes
// have no content to compare: their size and time stand.
std::optional<size_t> contentHash(const QString &path)
{
    QFile file(path);
    if (!RegularFile::open(file, QIODevice::ReadOnly))
        return std::nullopt;
    // Read, never mapped: a file shrinking meanwhile must not end the program.
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return hashOf(bytes);
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
    if (stamp.exists)
        stamp.hash = contentHash(path).value_or(0);
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
    } else if (const std::optional<size_t> content = contentHash(path)) {
        current.hash = *content;
        change = current.hash == hash ? Change::Same : Change::Changed;
    } else {
        // Unreadable now (its permissions taken away): only its time can tell.
        current.hash = hash;
        change = current.modified == modified ? Change::Same : Change::Changed;
    }
    if (now)
        *now = current;
    return change;
}
