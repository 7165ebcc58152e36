#include "backups/BackupFiles.h"

#include "config/ConfigAnalysis.h"
#include "config/KnownCommands.h"
#include "store/KnownFiles.h"
#include "store/ModStore.h"
#include "backups/Versions.h"
#include "settings/FileName.h"

#include <QDir>
#include <QFileInfo>

namespace BackupFiles {

namespace {

bool isPlainName(const QString &name)
{
    if (name.isEmpty() || name == u"." || name == u"..")
        return false;
    return std::none_of(name.begin(), name.end(),
                        [](QChar c) { return c.unicode() < 0x20 || c == u'/' || c == u'\\' || c == u':'; });
}

bool hasExtension(const QString &name, QLatin1String extension)
{
    return name.endsWith(extension, Qt::CaseInsensitive) && name.size() > extension.size();
}

bool isCfg(const QString &name)
{
    return hasExtension(name, QLatin1String(".cfg"));
}

QStringList fixedNames()
{
    QStringList names;
    for (const char *known : KnownFiles)
        names << QString::fromLatin1(known);
    names << QString::fromLatin1(UserConfig);
    return names;
}

// `folder`/`name` when every subfolder of it that exists lies inside `folder`.
QString checkedPath(const QString &folder, const QString &name);

// Only where exec leads matters here, not what the commands mean.
class NoKnownCommands : public KnownCommands
{
public:
    std::optional<CommandFacts> facts(QStringView) const override { return std::nullopt; }
    QStringList names() const override { return {}; }
};

} // namespace

QStringList startupFiles(const QString &folder)
{
    QStringList files;
    // Each exec'd name is found as rehlds engine/cmd.cpp Cmd_Exec_f finds it,
    // by GameFolder::locate; what it finds in the base game's or the
    // fallback folder belongs to that folder, not to this mod.
    const GameFolder game = GameFolder::at(folder);
    const QString inside = game.folder() + u'/';
    const NoKnownCommands none;
    ConfigAnalyzer analyzer(game, none);
    for (const StartupFile &file : analyzer.analyze().files) {
        if (!file.path.startsWith(inside))
            continue;
        const QString name = file.path.mid(inside.size());
        if (!pathIn(folder, name).isEmpty() && !files.contains(name, Qt::CaseInsensitive))
            files << name;
    }
    const QStringList entries =
        QDir(folder).entryList({QStringLiteral("*")}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase);
    for (const QString &entry : entries)
        if (isCfg(entry) && isPlainName(entry) && !files.contains(entry, Qt::CaseInsensitive))
            files << entry;
    return files;
}

QStringList inFolder(const QString &folder)
{
    QStringList names;
    for (const QString &name : fixedNames())
        if (!ModStore::findFile(folder, name).isEmpty())
            names << name;
    for (const QString &name : startupFiles(folder))
        if (!names.contains(name, Qt::CaseInsensitive))
            names << name;
    return names;
}

bool isBackupName(const QString &name)
{
    const QStringList parts = name.split(u'/');
    if (!std::all_of(parts.begin(), parts.end(), isPlainName))
        return false;
    if (parts.size() == 1 && fixedNames().contains(name))
        return true;
    // Where the copies of a "versions" subfolder go.
    if (parts.size() > 1 && parts.front().startsWith(u'~'))
        return false;
    return isCfg(parts.back()) || hasExtension(parts.back(), QLatin1String(".rc"));
}

namespace {

constexpr QChar Aside = u'~';

bool inVersionsFolder(const QString &name)
{
    const qsizetype slash = name.indexOf(u'/');
    return slash > 0 && QStringView(name).left(slash).compare(QLatin1String(Versions::FolderName), Qt::CaseInsensitive) == 0;
}

} // namespace

QString storedName(const QString &name)
{
    return inVersionsFolder(name) ? Aside + name : name;
}

QString nameOfStored(const QString &stored)
{
    return stored.startsWith(Aside) && inVersionsFolder(stored.mid(1)) ? stored.mid(1) : stored;
}

QString copyIn(const QString &backupFolder, const QString &name)
{
    return isBackupName(name) ? checkedPath(backupFolder, storedName(name)) : QString();
}

QString pathIn(const QString &folder, const QString &name)
{
    return isBackupName(name) ? checkedPath(folder, name) : QString();
}

namespace {

QString checkedPath(const QString &folder, const QString &name)
{
    const QString path = folder + u'/' + name;
    const QString subfolders = subfoldersOf(name);
    if (subfolders.isEmpty())
        return path;
    // The parts are plain, so only a link can lead out; the deepest
    // subfolder there is shows where they lead.
    QString deepest;
    QString at = folder;
    for (const QString &part : subfolders.split(u'/')) {
        at += u'/' + part;
        const QFileInfo info(at);
        if (!info.exists()) {
            if (info.isSymLink())
                return {};
            break;
        }
        if (!info.isDir())
            return {};
        deepest = at;
    }
    if (deepest.isEmpty())
        return path;
    QString root = QFileInfo(folder).canonicalFilePath();
    if (root.isEmpty())
        return {};
    if (!root.endsWith(u'/'))
        root += u'/';
    return QFileInfo(deepest).canonicalFilePath().startsWith(root) ? path : QString();
}

} // namespace

Status makeFolders(const QString &folder, const QString &subfolders)
{
    if (subfolders.isEmpty())
        return Status::success();
    QString at = folder;
    for (const QString &part : subfolders.split(u'/')) {
        at += u'/' + part;
        const QFileInfo info(at);
        if (info.isDir())
            continue;
        if (info.exists() || info.isSymLink())
            return Status::failure(
                QStringLiteral("%1 is not a folder, so nothing can be kept in it.").arg(FileName::shownPath(at)));
        if (!QDir().mkdir(at))
            return Status::failure(QStringLiteral("The folder %1 cannot be made.").arg(FileName::shownPath(at)));
    }
    return Status::success();
}

QString subfoldersOf(const QString &name)
{
    const qsizetype slash = name.lastIndexOf(u'/');
    return slash < 0 ? QString() : name.left(slash);
}

void removeEmptyFolders(const QString &folder, const QString &name)
{
    for (QString sub = subfoldersOf(name); !sub.isEmpty(); sub = subfoldersOf(sub))
        if (!QDir().rmdir(folder + u'/' + sub))
            return;
}

} // namespace BackupFiles
