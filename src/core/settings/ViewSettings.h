#pragma once

#include "settings/RecentFiles.h"
#include "settings/Result.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

// What the editor remembers beyond data.dat: recent documents, the
// window's place, the text zoom and font, and the catalogue families switched off, in a small INI file of its own in the
// data folder. data.dat keeps exactly its mod and backup records.
class ViewSettings
{
public:
    static constexpr int RecentLimit = 8;

    // The file's path in a data folder.
    static QString path(const QString &dataFolder);

    // Reads what is there; a missing or unreadable file gives the defaults.
    // A link, a pipe or a device in its place is left unread, and `status`
    // says why.
    static ViewSettings load(const QString &dataFolder, Status *status = nullptr);
    // Writes everything. The recent files are merged with what other
    // windows of the data folder wrote meanwhile (see RecentFiles), and the
    // list here becomes the merged one.
    Status save(const QString &dataFolder);
    // Writes the recent files alone, merged the same way.
    Status saveRecentFiles(const QString &dataFolder);
    // Reads what other windows wrote, keeping this one's changes; writes nothing.
    void refreshRecentFiles(const QString &dataFolder);

    // Newest first, each path once, at most RecentLimit.
    const QStringList &recentFiles() const { return m_recent.paths(); }
    void addRecentFile(const QString &path, qint64 now = QDateTime::currentMSecsSinceEpoch());
    void removeRecentFile(const QString &path, qint64 now = QDateTime::currentMSecsSinceEpoch());

    // As the window saves it; empty: the window's own start size.
    QByteArray geometry;
    // Steps of one point from the box's own font size.
    int zoom = 0;
    // Catalogue families the player switched off (ids as in CatalogueFamily.h).
    QStringList familiesOff;
    // The edit box's line-number margin.
    bool lineNumbers = true;
    // The edit box's font (View > Font...): a family and a size in points;
    // an empty family is the box's own default font.
    QString fontFamily;
    double fontPoints = 0;
    static constexpr double SmallestFont = 4;
    static constexpr double LargestFont = 96;

    // The completion list offers itself while typing (View > Completion).
    bool completion = true;

    // The files open in the window's tabs at its last closing, in order,
    // and the index of the one in front; reopened at the next start.
    QStringList sessionFiles;
    int sessionCurrent = 0;

private:
    Status write(const QString &dataFolder, bool everything);

    RecentFiles m_recent{RecentLimit};
};
