#include "settings/RecentFiles.h"

#include <QHash>

#include <algorithm>

namespace {

// Newest first; changes of one time (an old file's, all 0) keep their order.
void sortAndCut(QList<RecentFiles::Entry> &entries, qsizetype limit)
{
    std::stable_sort(entries.begin(), entries.end(),
                     [](const RecentFiles::Entry &a, const RecentFiles::Entry &b) { return a.at > b.at; });
    if (entries.size() > limit)
        entries.resize(limit);
}

} // namespace

void RecentFiles::add(const QString &path, qint64 now)
{
    change(path, now, false);
}

void RecentFiles::remove(const QString &path, qint64 now)
{
    change(path, now, true);
}

void RecentFiles::change(const QString &path, qint64 now, bool removed)
{
    m_pending.removeIf([&path](const Change &change) { return change.entry.path == path; });
    m_pending.append({{path, std::max(now, m_newest + 1)}, removed});
    takeIn(m_stored);
}

void RecentFiles::takeIn(const Stored &disk)
{
    QList<Change> latest;
    QHash<QString, qsizetype> at;
    auto offer = [&](const Entry &entry, bool removed) {
        if (entry.path.isEmpty())
            return;
        m_newest = std::max(m_newest, entry.at);
        const auto known = at.constFind(entry.path);
        if (known == at.cend()) {
            at.insert(entry.path, latest.size());
            latest.append({entry, removed});
            return;
        }
        Change &held = latest[*known];
        // At the same moment, taking away wins: the file was found missing.
        if (entry.at > held.entry.at || (entry.at == held.entry.at && removed))
            held = {entry, removed};
    };
    for (const Entry &entry : disk.opened)
        offer(entry, false);
    for (const Entry &entry : disk.removed)
        offer(entry, true);
    for (const Change &change : std::as_const(m_pending))
        offer(change.entry, change.removed);

    Stored merged;
    for (const Change &change : std::as_const(latest))
        (change.removed ? merged.removed : merged.opened).append(change.entry);
    sortAndCut(merged.opened, m_limit);
    sortAndCut(merged.removed, RemovedKept);
    m_stored = std::move(merged);
    // A change the limits cut out is forgotten, as if written: the list
    // never holds more than it shows.
    m_pending.removeIf([this](const Change &change) {
        return !(change.removed ? m_stored.removed : m_stored.opened).contains(change.entry);
    });
    m_paths.clear();
    for (const Entry &entry : std::as_const(m_stored.opened))
        m_paths.append(entry.path);
}
