#pragma once

#include "settings/Result.h"

#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// The folder a game reads its configs from, and how it finds a file named
// by `exec` there. Nothing here ever writes.
class GameFolder
{
public:
    // The game folder `filePath` belongs to: its own folder or one up to
    // MaxFolderDepth above it that looks like a game folder (it holds
    // liblist.gam, valve.rc or a config the start-up order names); nothing
    // when the file stands alone.
    static std::optional<GameFolder> forFile(const QString &filePath);
    static constexpr int MaxFolderDepth = 4;

    // `folder` taken as a game folder; its fallbacks are liblist.gam's, the
    // install's folder and the base game, in the order exec searches them.
    static GameFolder at(const QString &folder);

    const QString &folder() const { return m_folder; }
    // Folders searched after the game folder: liblist.gam's fallback_dir, then the base game's.
    const QStringList &fallbacks() const { return m_fallbacks; }

    // The file the game opens for `exec name`, or empty when there is none.
    QString find(const QString &name) const;
    // The same with what the file system said of it (one look at the disk).
    QFileInfo locate(const QString &name) const;

private:
    QString m_folder;
    QStringList m_fallbacks;
};

// The largest config read; a bigger file is left out with a problem.
inline constexpr qint64 MaxConfigBytes = 8 * 1024 * 1024;

// A config's text, read only when it is a regular file under the cap.
Result<QString> readConfig(const QString &path);

namespace ExecRules {

// Why the game refuses `exec name` before looking for the file, or empty.
QString refusal(QStringView name);

// Whether the game says nothing when the file is missing.
bool quietWhenMissing(QStringView name);
// Whether the server writes the file itself, so its absence is harmless.
bool writtenByServer(QStringView name);

} // namespace ExecRules
