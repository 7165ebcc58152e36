#pragma once

#include <QByteArrayView>
#include <QDateTime>
#include <QString>

// What a file on disk was when the editor last read or wrote it, to notice
// when another program (the game, on exit) rewrites it.
//
// Size and modification time decide when they can; the content hash is
// consulted when the size agrees but the time differs (a rewrite with the
// same bytes is no change) or when the time may not have ticked since the
// stamp was taken (a rewrite within the file system's time resolution).
struct DiskStamp
{
    enum class Change { Same, Changed, Deleted };

    bool known = false;   // false: no file to compare with
    bool exists = false;
    qint64 size = -1;
    QDateTime modified;
    size_t hash = 0;
    bool racy = false;    // taken so soon after the write that a later one may share its time

    // The file as it is now, whose content is the given bytes.
    static DiskStamp taken(const QString &path, QByteArrayView bytes);
    // The file as it is now, read to hash it.
    static DiskStamp read(const QString &path);

    // How the file differs from this stamp; `now` gets the file's stamp today.
    Change check(const QString &path, DiskStamp *now = nullptr) const;

    friend bool operator==(const DiskStamp &, const DiskStamp &) = default;
};
