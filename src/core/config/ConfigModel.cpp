#include "config/ConfigAnalysis.h"

#include "config/KeyNames.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <limits>

QString configPath(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QString ConfigModel::where(const QString &file, int line)
{
    return QStringLiteral("%1 (line %2)").arg(file).arg(line + 1);
}

qint64 ConfigModel::rank(int file, int command) const
{
    const QList<Segment> &segments = m_ran[file].segments;
    const auto it = std::upper_bound(segments.begin(), segments.end(), command,
                                     [](int c, const Segment &s) { return c < s.from; });
    const int segmentRank = it == segments.begin() ? 0 : std::prev(it)->rank;
    return qint64(segmentRank) << 32 | quint32(command);
}

int ConfigModel::fileIndex(const QString &path) const
{
    const QString wanted = configPath(path);
    for (int i = 0; i < files.size(); ++i) {
        if (files[i].path == wanted)
            return i;
    }
    return -1;
}

std::optional<AliasSite> ConfigModel::alias(QStringView name) const
{
    const auto found = m_aliases.constFind(name.toString().toLower());
    if (found == m_aliases.cend())
        return std::nullopt;
    return found->first;
}

QString ConfigModel::aliasExplanation(QStringView name) const
{
    const std::optional<AliasSite> site = alias(name);
    if (!site)
        return {};
    return QStringLiteral("alias %1: %2 (%3, line %4)").arg(site->name, site->body, site->file).arg(site->line + 1);
}

namespace {

// "3" and "3.0" set the same; any other text compares without letter case.
bool sameValue(const QString &a, const QString &b)
{
    bool aNumber = false, bNumber = false;
    const double x = a.toDouble(&aNumber), y = b.toDouble(&bNumber);
    return aNumber && bNumber ? x == y : a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

QString ConfigModel::valueHint(const QString &path, int line, QStringView name, QStringView valueNow) const
{
    const int here = fileIndex(path);
    const QString key = name.toString().toLower();
    if (here < 0)
        return {};
    const QList<ConfigFile::Setting> own = m_ran[here].facts->settings.value(key);
    const auto mine = std::find_if(own.rbegin(), own.rend(), [&](const ConfigFile::Setting &s) { return s.line == line; });
    if (mine == own.rend())
        return {};
    const qint64 myRank = rank(here, mine->command);
    int winnerFile = -1;
    const ConfigFile::Setting *winner = nullptr;
    qint64 winnerRank = std::numeric_limits<qint64>::min();
    for (int i = 0; i < files.size(); ++i) {
        if (!files[i].atStartup)
            continue;
        const auto found = m_ran[i].facts->settings.constFind(key);
        if (found == m_ran[i].facts->settings.cend() || found->isEmpty())
            continue;
        const qint64 r = rank(i, found->back().command);
        if (r > winnerRank) {
            winnerRank = r;
            winnerFile = i;
            winner = &found->back();
        }
    }
    // The analysis may be older than the text: the line says what it says now.
    const QString value = valueNow.isEmpty() ? mine->value : valueNow.toString();
    const QString head = QStringLiteral("%1 %2 here").arg(mine->name, value);
    if (!files[here].atStartup) {
        if (!winner)
            return head + QStringLiteral("; no file of the start-up order runs this one.");
        return QStringLiteral("%1; no file of the start-up order runs this one, and there %2 sets %3.")
            .arg(head, ConfigModel::where(files[winnerFile].name, winner->line), winner->value);
    }
    if (winnerRank == myRank) {
        // rehlds engine/host.cpp Host_WriteConfiguration saves every archived
        // variable (Cvar_WriteVariables) into config.cfg, which runs after
        // valve.rc and what it execs: the value the game had when it quit wins.
        if (mine->archived == true && runsBeforeConfigCfg(here, myRank))
            return QStringLiteral("%1; the game saves %2 to config.cfg when it quits, and config.cfg runs later: the "
                                  "value it had then applies. Put it in userconfig.cfg to keep it.")
                .arg(head, mine->name);
        return head + QStringLiteral(", and nothing later in the start-up order changes it: it applies.");
    }
    QString text = QStringLiteral("%1; %2 runs later and sets %3, so %3 applies.")
                       .arg(head, winnerFile == here ? QStringLiteral("line %1").arg(winner->line + 1)
                                                     : ConfigModel::where(files[winnerFile].name, winner->line),
                            winner->value);
    // Nothing to move when config.cfg ends up with the same value anyway.
    if (files[winnerFile].name.compare(QLatin1String("config.cfg"), Qt::CaseInsensitive) == 0 && winnerFile != here
        && !sameValue(winner->value, value))
        text += QStringLiteral(" Put it in userconfig.cfg to keep it.");
    return text;
}

bool ConfigModel::runsBeforeConfigCfg(int file, qint64 rankInRun) const
{
    for (int i = 0; i < files.size(); ++i) {
        if (files[i].depth == 0 && files[i].atStartup
            && files[i].name.compare(QLatin1String("config.cfg"), Qt::CaseInsensitive) == 0)
            return rankInRun < rank(i, 0);
    }
    // No config.cfg yet: the game writes one when it quits, to run after valve.rc.
    int root = file;
    while (files[root].parent >= 0)
        root = files[root].parent;
    return root == 0;
}

QString ConfigModel::bindHint(const QString &path, int line, QStringView key) const
{
    const int here = fileIndex(path);
    const QString canonical = KeyNames::canonical(key);
    if (here < 0 || canonical.isEmpty())
        return {};
    const QList<ConfigFile::Bind> &own = m_ran[here].facts->binds;
    const auto mine = std::find_if(own.rbegin(), own.rend(), [&](const ConfigFile::Bind &b) {
        return b.line == line && b.key == canonical && b.kind == ConfigFile::Bind::Kind::Bind;
    });
    if (mine == own.rend())
        return {};
    const QString head = QStringLiteral("bind %1 \"%2\" here").arg(mine->written, mine->runs);
    if (!files[here].atStartup)
        return head + QStringLiteral("; no file of the start-up order runs this one.");
    const qint64 myRank = rank(here, mine->command);
    int lastFile = -1;
    const ConfigFile::Bind *last = nullptr;
    qint64 lastRank = std::numeric_limits<qint64>::min();
    for (int i = 0; i < files.size(); ++i) {
        if (!files[i].atStartup)
            continue;
        for (const ConfigFile::Bind &b : m_ran[i].facts->binds) {
            if (b.kind != ConfigFile::Bind::Kind::UnbindAll && b.key != canonical)
                continue;
            const qint64 r = rank(i, b.command);
            if (r > lastRank) {
                lastRank = r;
                lastFile = i;
                last = &b;
            }
        }
    }
    if (lastRank == myRank || (last->kind == ConfigFile::Bind::Kind::Bind && last->runs == mine->runs))
        return head + QStringLiteral(", and it applies at start-up.");
    const QString where = lastFile == here ? QStringLiteral("line %1").arg(last->line + 1)
                                           : ConfigModel::where(files[lastFile].name, last->line);
    QString text;
    if (last->kind == ConfigFile::Bind::Kind::Bind)
        text = QStringLiteral("%1; %2 runs later and binds %3 to \"%4\", so that applies.")
                   .arg(head, where, canonical, last->runs);
    else
        text = QStringLiteral("%1; %2 runs %3 later, which leaves %4 unbound.")
                   .arg(head, where,
                        last->kind == ConfigFile::Bind::Kind::UnbindAll ? QStringLiteral("unbindall")
                                                                        : QStringLiteral("unbind"),
                        canonical);
    if (files[lastFile].name.compare(QLatin1String("config.cfg"), Qt::CaseInsensitive) == 0 && lastFile != here)
        text += QStringLiteral(" Put it in userconfig.cfg to keep it.");
    return text;
}

bool ConfigModel::operator==(const ConfigModel &other) const
{
    if (folder != other.folder || files != other.files || problems != other.problems || m_aliases != other.m_aliases
        || m_ran.size() != other.m_ran.size())
        return false;
    for (qsizetype i = 0; i < m_ran.size(); ++i) {
        if (*m_ran[i].facts != *other.m_ran[i].facts)
            return false;
    }
    return true;
}

// rehlds engine/host.cpp Host_WriteConfiguration writes config.cfg on exit:
// two comment lines, unbindall, every binding (Key_WriteBindings), every
// archived variable (Cvar_WriteVariables), +mlook/+jlook, then
// "exec userconfig.cfg". Nothing else of the old file survives.
QString configCfgNotice(const GameFolder &folder, const QString &path)
{
    const QFileInfo info(path);
    if (info.fileName().compare(QLatin1String("config.cfg"), Qt::CaseInsensitive) != 0
        || configPath(info.absolutePath()) != folder.folder())
        return {};
    return QStringLiteral("The game rewrites config.cfg when it quits, from its own state: its binds and saved "
                          "settings, then exec userconfig.cfg. Anything else written here (aliases, exec lines, "
                          "comments, settings it does not save) is lost: put it in userconfig.cfg.");
}
