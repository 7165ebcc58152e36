#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The recent documents of one window, newest first. Several windows of one
// data folder share the list on disk: each lays only what it did itself
// (opened a file, or took a missing one away) over what the disk holds now,
// so no window's list wipes another's. Every change carries the time it
// was made and, for each path, the newest change wins: a file one window
// took away stays away, unless a window opened it after that. Removals are
// remembered on disk too, so an older open another window had not written
// yet does not bring the file back.
class RecentFiles
{
public:
    struct Entry
    {
        QString path;
        // Milliseconds since 1970; 0 for an entry written before times were
        // kept, older than every timed one.
        qint64 at = 0;
        bool operator==(const Entry &) const = default;
    };
    // What the disk holds, newest first.
    struct Stored
    {
        QList<Entry> opened;
        QList<Entry> removed;
    };

    // Removals kept on disk: far more than windows ever have unwritten.
    static constexpr int RemovedKept = 32;

    explicit RecentFiles(int limit) : m_limit(limit) {}

    const QStringList &paths() const { return m_paths; }
    const Stored &stored() const { return m_stored; }

    // `now` is the clock's time; a change sorts after every one this window
    // knows of, even when the clock went back.
    void add(const QString &path, qint64 now);
    void remove(const QString &path, qint64 now);

    // The list becomes what the disk holds with this window's changes not
    // yet written laid over it; they stay pending until written().
    void takeIn(const Stored &disk);
    // stored() is on disk now: this window's changes are no longer pending.
    void written() { m_pending.clear(); }

private:
    struct Change
    {
        Entry entry;
        bool removed = false;
    };

    void change(const QString &path, qint64 now, bool removed);

    int m_limit;
    Stored m_stored;
    QStringList m_paths;
    // One for each path, its latest, in the order made.
    QList<Change> m_pending;
    qint64 m_newest = 0;
};
