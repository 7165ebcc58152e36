#include "config/GameFolder.h"

#include "settings/CodePage.h"
#include "settings/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// The base game; rehlds engine/filesystem.cpp FileSystem_SetGameDirectory adds
// it (pDefaultDir, "valve") as the DEFAULTGAME search path after the mod's own.
const QString BaseGame = QStringLiteral("valve");

// liblist.gam's fallback_dir "name": rehlds engine/filesystem.cpp
// (CheckLiblistForFallbackDir) reads the line starting with fallback_dir and
// takes the text between its first two quotes.
QString fallbackDir(const QString &folder)
{
    QFile file(QDir(folder).filePath(QStringLiteral("liblist.gam")));
    if (!RegularFile::check(file.fileName()) || file.size() > 64 * 1024 || !file.open(QIODevice::ReadOnly))
        return {};
    const QStringList lines = CodePage::decode(file.readAll()).split(u'\n');
    for (const QString &line : lines) {
        if (!line.startsWith(QLatin1String("fallback_dir"), Qt::CaseInsensitive))
            continue;
        const qsizetype open = line.indexOf(u'"');
        const qsizetype close = open < 0 ? -1 : line.indexOf(u'"', open + 1);
        return close < 0 ? QString() : line.mid(open + 1, close - open - 1);
    }
    return {};
}

// A name as written, else the one entry of its folder that matches it in
// any letter case (players on Windows write names in any case).
QFileInfo existing(const QString &folder, const QString &name)
{
    const QFileInfo exact(QDir(folder).filePath(name));
    if (exact.isFile())
        return exact;
    const QFileInfo wanted(exact);
    const QDir dir(wanted.absolutePath());
    if (!dir.exists())
        return {};
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &entry : entries) {
        if (entry.compare(wanted.fileName(), Qt::CaseInsensitive) == 0)
            return QFileInfo(dir.filePath(entry));
    }
    return {};
}

// Folders that hold stray files of every kind.
QStringList strayFolders()
{
    return {QDir::cleanPath(QDir::tempPath()), QDir::cleanPath(QDir::homePath()), QDir::cleanPath(QDir::rootPath())};
}

} // namespace

std::optional<GameFolder> GameFolder::forFile(const QString &filePath)
{
    if (filePath.isEmpty())
        return std::nullopt;
    // exec names a file below the game folder ("exec cfg/buy.cfg"; rehlds
    // engine/cmd.cpp Cmd_Exec_f), so a file in a subfolder belongs to the
    // folder above it. liblist.gam or valve.rc marks a game folder surely, a
    // start-up config only likely: the nearest sure one wins, then the
    // nearest likely one. Temporary, home and root folders hold stray files
    // of every kind and are never taken for a game folder from below.
    static const char *const sure[] = {"liblist.gam", "valve.rc"};
    // A server's folder may hold only its start file.
    static const char *const likely[] = {"config.cfg", "autoexec.cfg", "userconfig.cfg", "server.cfg",
                                         "listenserver.cfg"};
    const QStringList stray = strayFolders();
    QDir dir = QFileInfo(filePath).absoluteDir();
    QString likeliest;
    for (int up = 0; up <= MaxFolderDepth; ++up) {
        const QString folder = QDir::cleanPath(dir.absolutePath());
        if (up > 0 && stray.contains(folder))
            break;
        for (const char *marker : sure) {
            if (existing(folder, QString::fromLatin1(marker)).isFile())
                return at(folder);
        }
        for (const char *marker : likely) {
            if (likeliest.isEmpty() && existing(folder, QString::fromLatin1(marker)).isFile())
                likeliest = folder;
        }
        if (!dir.cdUp())
            break;
    }
    if (likeliest.isEmpty())
        return std::nullopt;
    return at(likeliest);
}

GameFolder GameFolder::at(const QString &folder)
{
    GameFolder game;
    game.m_folder = QDir::cleanPath(QDir(folder).absolutePath());
    const QDir parent = QFileInfo(game.m_folder).dir();
    const QString fallback = fallbackDir(game.m_folder);
    const auto add = [&game](const QString &path) {
        if (path != game.m_folder && !game.m_fallbacks.contains(path) && QFileInfo(path).isDir())
            game.m_fallbacks.append(path);
    };
    if (!fallback.isEmpty())
        add(QDir::cleanPath(parent.filePath(fallback)));
    // rehlds engine/filesystem.cpp FileSystem_SetGameDirectory adds the
    // install's own folder ("BASE") before the base game, so "exec
    // reunion.cfg" finds a server's reunion.cfg beside hlds. A temporary,
    // home or root folder above is no install.
    const QString base = QDir::cleanPath(parent.absolutePath());
    if (!strayFolders().contains(base))
        add(base);
    add(QDir::cleanPath(parent.filePath(BaseGame)));
    return game;
}

// rehlds engine/cmd.cpp Cmd_Exec_f opens the name with path ID "GAMECONFIG"
// (the game folder), then "GAME", then with no path ID, which searches
// every path in the order they were added: fallback_dir, the install's
// folder, the base game. Names are always relative to those folders, never
// to the file that runs exec.
QFileInfo GameFolder::locate(const QString &name) const
{
    if (!ExecRules::refusal(name).isEmpty())
        return {};
    QFileInfo found = existing(m_folder, name);
    for (qsizetype i = 0; !found.isFile() && i < m_fallbacks.size(); ++i)
        found = existing(m_fallbacks[i], name);
    if (!found.isFile())
        return {};
    const QString clean = QDir::cleanPath(found.filePath());
    return clean == found.filePath() ? found : QFileInfo(clean);
}

QString GameFolder::find(const QString &name) const
{
    return locate(name).filePath();
}

Result<QString> readConfig(const QString &path)
{
    QFile file(path);
    if (Status opened = RegularFile::open(file, QIODevice::ReadOnly); !opened)
        return opened;
    if (file.size() > MaxConfigBytes)
        return Status::failure(QStringLiteral("%1 is larger than %2 MB and was not read.")
                                   .arg(QDir::toNativeSeparators(path))
                                   .arg(MaxConfigBytes / (1024 * 1024)));
    return CodePage::decode(file.readAll());
}

namespace ExecRules {

// rehlds engine/cmd.cpp Cmd_Exec_f: "exec %s: invalid path." for a name
// holding '\', ':', '~' or "..", or starting with '/'; then "not a .cfg or
// .rc file" unless COM_FileExtension's answer is cfg or rc (Q_stricmp).
// The game's COM_FileExtension (common.cpp, without REHLDS_FIXES) takes
// everything after the first dot of the file name, so "my.binds.cfg" has
// the extension "binds.cfg" and is refused too.
QString refusal(QStringView name)
{
    if (name.isEmpty())
        return QStringLiteral("exec needs a file name");
    if (name.contains(u'\\') || name.contains(u':') || name.contains(u'~') || name.contains(u"..")
        || name.startsWith(u'/'))
        return QStringLiteral("the game refuses this name: it holds \\, :, ~ or .., or starts with /");
    const qsizetype slash = name.lastIndexOf(u'/');
    const qsizetype dot = name.indexOf(u'.', slash + 1);
    const QStringView extension = dot < 0 ? QStringView() : name.mid(dot + 1);
    if (extension.compare(QLatin1String("cfg"), Qt::CaseInsensitive) != 0
        && extension.compare(QLatin1String("rc"), Qt::CaseInsensitive) != 0)
        return QStringLiteral("the game runs only .cfg and .rc files (it reads the extension from the first dot)");
    return {};
}

// rehlds engine/cmd.cpp Cmd_Exec_f prints "couldn't exec" unless the name
// contains (Q_strstr) one of these: their absence is normal.
bool quietWhenMissing(QStringView name)
{
    static const char16_t *const quiet[] = {u"autoexec.cfg", u"userconfig.cfg", u"hw/opengl.cfg", u"joystick.cfg",
                                            u"game.cfg"};
    for (const char16_t *q : quiet) {
        if (name.contains(QStringView(q)))
            return true;
    }
    return false;
}

// The lists the server writes itself (rehlds engine/sv_main.cpp: writeid
// writes bannedcfgfile, "banned.cfg"; writeip writes "listip.cfg"): not
// there until it first bans someone, and nothing is lost meanwhile.
bool writtenByServer(QStringView name)
{
    return name.compare(u"banned.cfg", Qt::CaseInsensitive) == 0 || name.compare(u"listip.cfg", Qt::CaseInsensitive) == 0;
}

} // namespace ExecRules
