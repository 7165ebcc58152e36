#include "config/ConfigAnalysis.h"

#include "catalogue/ValueRange.h"
#include "config/KeyNames.h"
#include "console/ConsoleRun.h"

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
    const QString key = name.toString().toLower();
    if (console) {
        const auto found = console->state.aliases.constFind(key);
        if (found != console->state.aliases.cend() && !found->history.isEmpty()) {
            // The definition the start-up made first.
            const ConsoleAssignment &first = found->history.front();
            const ConsolePlace::FileLine at = first.place.fileLine();
            return AliasSite{found->name, first.value.trimmed(), at.path, at.file, at.line};
        }
    }
    const auto other = m_otherAliases.constFind(key);
    if (other == m_otherAliases.cend())
        return std::nullopt;
    return *other;
}

QString ConfigModel::aliasExplanation(QStringView name) const
{
    const std::optional<AliasSite> site = alias(name);
    if (!site)
        return {};
    return QStringLiteral("alias %1: %2 (%3, line %4)").arg(site->name, site->body, site->file).arg(site->line + 1);
}

QString ConfigModel::whereSet(const ConsolePlace &place, const QString &here) const
{
    if (place.isFile() && place.source->path == here && !here.isEmpty())
        return QStringLiteral("line %1").arg(place.line + 1);
    return place.describe();
}

namespace {

bool inConfigCfg(const ConsolePlace &place)
{
    return place.fileLine().file.compare(QLatin1String("config.cfg"), Qt::CaseInsensitive) == 0;
}

} // namespace

QString ConfigModel::valueHint(const QString &path, int line, QStringView name, QStringView valueNow) const
{
    const int here = fileIndex(path);
    const QString key = name.toString().toLower();
    if (here < 0 || !console)
        return {};
    const QString wanted = configPath(path);
    const auto facts = m_facts.value(wanted);
    if (!facts)
        return {};
    const QList<ConfigFile::Setting> own = facts->settings.value(key);
    const auto mine = std::find_if(own.rbegin(), own.rend(), [&](const ConfigFile::Setting &s) { return s.line == line; });
    if (mine == own.rend())
        return {};
    // The analysis may be older than the text: the line says what it says now.
    const QString value = valueNow.isEmpty() ? mine->value : valueNow.toString();
    const QString head = QStringLiteral("%1 %2 here").arg(mine->name, value);
    const ConsoleVariable *v = console->state.variable(key);
    const ConsoleAssignment *winner = v && !v->history.isEmpty() ? &v->history.back() : nullptr;
    const ConsoleAssignment *ran = v ? ConsoleRun::at(v->history, wanted, line) : nullptr;
    if (!ran && files[here].onServer) {
        if (const QString server = serverValueHint(head, key, wanted, line); !server.isEmpty())
            return server;
    }
    if (!ran) {
        const QString why = files[here].atStartup ? QStringLiteral("; the game does not run this line at start-up")
                                                  : QStringLiteral("; no file of the start-up order runs this one");
        if (!winner)
            return head + why + u'.';
        return QStringLiteral("%1%2, and there %3 sets %4.").arg(head, why, winner->place.describe(), winner->value);
    }
    if (ran == winner) {
        // rehlds engine/host.cpp Host_WriteConfiguration saves every archived
        // variable (Cvar_WriteVariables) into config.cfg, which runs after
        // valve.rc and what it execs: the value the game had when it quit wins.
        if (mine->archived == true && console->configStep >= 0 && ran->step < console->configStep)
            return QStringLiteral("%1; the game saves %2 to config.cfg when it quits, and config.cfg runs later: the "
                                  "value it had then applies. Put it in userconfig.cfg to keep it.")
                .arg(head, mine->name);
        return head + QStringLiteral(", and nothing later in the start-up order changes it: it applies.");
    }
    QString text = QStringLiteral("%1; %2 runs later and sets %3, so %3 applies.")
                       .arg(head, whereSet(winner->place, wanted), winner->value);
    // Nothing to move when config.cfg ends up with the same value anyway.
    if (inConfigCfg(winner->place) && winner->place.fileLine().path != wanted && !sameConsoleValue(winner->value, value))
        text += QStringLiteral(" Put it in userconfig.cfg to keep it.");
    return text;
}

// A line a server's start runs: what it leaves once that server's files
// have run, told for the first server whose later file replaces it.
QString ConfigModel::serverValueHint(const QString &head, const QString &key, const QString &path, int line) const
{
    QString who; // the servers that run it and keep it
    for (const ServerRun &server : console->servers) {
        const ConsoleVariable *v = server.state.variable(key);
        const ConsoleAssignment *ran = v ? ConsoleRun::at(v->history, path, line) : nullptr;
        if (!ran)
            continue;
        const ConsoleAssignment &winner = v->history.back();
        if (&winner != ran && !sameConsoleValue(winner.value, ran->value))
            return QStringLiteral("%1; on %2, %3 runs later and sets %4, so %4 applies.")
                .arg(head, server.start.who, whereSet(winner.place, path), winner.value);
        who = who.isEmpty() ? server.start.who : QStringLiteral("a server");
    }
    if (who.isEmpty())
        return {};
    return QStringLiteral("%1, and nothing later changes it when %2 starts a map: it applies.").arg(head, who);
}

QString ConfigModel::bindHint(const QString &path, int line, QStringView key) const
{
    const int here = fileIndex(path);
    const QString canonical = KeyNames::canonical(key);
    if (here < 0 || canonical.isEmpty() || !console)
        return {};
    const QString wanted = configPath(path);
    const auto facts = m_facts.value(wanted);
    if (!facts)
        return {};
    const QList<ConfigFile::Bind> &own = facts->binds;
    const auto mine = std::find_if(own.rbegin(), own.rend(), [&](const ConfigFile::Bind &b) {
        return b.line == line && b.key == canonical && b.kind == ConfigFile::Bind::Kind::Bind;
    });
    if (mine == own.rend())
        return {};
    const QString head = QStringLiteral("bind %1 \"%2\" here").arg(mine->written, mine->runs);
    if (!files[here].atStartup)
        return head + QStringLiteral("; no file of the start-up order runs this one.");
    const ConsoleBind *b = console->state.bind(canonical);
    const ConsoleAssignment *ran = b ? ConsoleRun::at(b->history, wanted, line) : nullptr;
    if (!ran)
        return head + QStringLiteral("; the game does not run this line at start-up.");
    const ConsoleAssignment &last = b->history.back();
    if (&last == ran || (last.kind == ConsoleAssignment::Kind::Set && last.value == ran->value))
        return head + QStringLiteral(", and it applies at start-up.");
    const QString where = whereSet(last.place, wanted);
    QString text;
    if (last.kind == ConsoleAssignment::Kind::Set)
        text = QStringLiteral("%1; %2 runs later and binds %3 to \"%4\", so that applies.")
                   .arg(head, where, canonical, last.value);
    else
        text = QStringLiteral("%1; %2 runs %3 later, which leaves %4 unbound.")
                   .arg(head, where,
                        last.kind == ConsoleAssignment::Kind::Cleared ? QStringLiteral("unbindall")
                                                                      : QStringLiteral("unbind"),
                        canonical);
    if (inConfigCfg(last.place) && last.place.fileLine().path != wanted)
        text += QStringLiteral(" Put it in userconfig.cfg to keep it.");
    return text;
}

bool ConfigModel::operator==(const ConfigModel &other) const
{
    if (folder != other.folder || files != other.files || problems != other.problems
        || m_otherAliases != other.m_otherAliases || bool(console) != bool(other.console))
        return false;
    if (!console)
        return true;
    // The same state: every value, bind and alias, and where each change came from.
    auto digest = [](const ConsoleRun &run) {
        QStringList out;
        auto history = [&](const QString &what, const QList<ConsoleAssignment> &h) {
            for (const ConsoleAssignment &a : h) {
                const ConsolePlace::FileLine at = a.place.fileLine();
                out.append(QStringLiteral("%1 %2 %3 %4:%5 %6").arg(what).arg(int(a.kind)).arg(a.value, at.path).arg(at.line).arg(a.place.describe()));
            }
        };
        for (auto it = run.state.variables.cbegin(); it != run.state.variables.cend(); ++it)
            history(it.key(), it->history);
        for (auto it = run.state.binds.cbegin(); it != run.state.binds.cend(); ++it)
            history(u'#' + it.key(), it->history);
        for (auto it = run.state.aliases.cbegin(); it != run.state.aliases.cend(); ++it)
            history(u'@' + it.key(), it->history);
        out.sort();
        out.append(QString::number(run.configStep));
        return out;
    };
    return digest(*console) == digest(*other.console);
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
