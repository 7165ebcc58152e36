#include "config/ConfigAnalysis.h"

#include "config/KeyNames.h"
#include "config/KnownCommands.h"
#include "config/NameOwners.h"
#include "config/Overrides.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <limits>

namespace {

// What the game runs when the folders hold no valve.rc: rehlds engine/host.cpp
// Host_Init queues "exec valve.rc", and the valve.rc the game ships (as kept
// in public game folders, e.g. Drakunovu/csbase valve/valve.rc) runs
// joystick.cfg and autoexec.cfg; its exec language.cfg is left out here, as
// that file comes with the game. config.cfg follows from ForceReloadProfile
// (sys_engine.cpp), as below.
const QString DefaultValveRc = QStringLiteral("exec joystick.cfg\nexec autoexec.cfg\n");

// What stands for config.cfg before the game has written one: the game
// writes it when it quits (rehlds engine/host.cpp Host_WriteConfiguration),
// always ending in "exec userconfig.cfg", so userconfig.cfg is taken to run.
// Its unbindall and saved settings are left out: they would be guesses.
const QString DefaultConfigCfg = QStringLiteral("exec userconfig.cfg\n");

// Optimal string alignment distance, letter case ignored, giving up past `limit`.
int distance(QStringView a, QStringView b, int limit)
{
    if (std::abs(int(a.size()) - int(b.size())) > limit)
        return limit + 1;
    const int n = int(a.size());
    const int m = int(b.size());
    QList<int> before(m + 1), previous(m + 1), current(m + 1);
    for (int j = 0; j <= m; ++j)
        previous[j] = j;
    for (int i = 1; i <= n; ++i) {
        current[0] = i;
        int best = current[0];
        for (int j = 1; j <= m; ++j) {
            const bool same = a[i - 1].toLower() == b[j - 1].toLower();
            int d = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (same ? 0 : 1)});
            if (i > 1 && j > 1 && a[i - 1].toLower() == b[j - 2].toLower() && a[i - 2].toLower() == b[j - 1].toLower())
                d = std::min(d, before[j - 2] + 1);
            current[j] = d;
            best = std::min(best, d);
        }
        if (best > limit)
            return limit + 1;
        std::swap(before, previous);
        std::swap(previous, current);
    }
    return previous[m];
}

// How far a name may be from a suggestion: a word of one or two letters is
// near everything short, so it gets none; two letters off a short name is
// more often another program's name than a typo (a plugin's hpk_max is
// two from fps_max), so that takes a long name.
int nearLimit(const QString &name)
{
    return name.size() < 3 ? 0 : name.size() < 8 ? 1 : 2;
}

// The alias names a game refuses, by its folder's name as the engine
// tells the game: rehlds engine/cmd.cpp Cmd_Alias_f ("Alias name is
// invalid") for GT_CStrike and GT_CZero, and for GT_TFC; sv_main.cpp
// SetCStrikeFlags takes the type from com_gamedir (cstrike, cstrike_beta,
// czero, tfc), letter case ignored.
bool refusedAliasName(const QString &gameDir, QStringView name)
{
    static const QStringList counterStrike = {"cl_autobuy", "cl_rebuy", "gl_ztrick", "gl_ztrick_old", "gl_d3dflip"};
    static const QStringList teamFortress = {"_special", "special"};
    const QString game = gameDir.toLower();
    const QStringList *refused = nullptr;
    if (game == QLatin1String("cstrike") || game == QLatin1String("cstrike_beta") || game == QLatin1String("czero"))
        refused = &counterStrike;
    else if (game == QLatin1String("tfc"))
        refused = &teamFortress;
    return refused && refused->contains(name.toString(), Qt::CaseInsensitive);
}

QString listed(const QStringList &names)
{
    if (names.size() == 1)
        return names.front();
    return names.mid(0, names.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" or ") + names.back();
}

} // namespace

ConfigAnalyzer::ConfigAnalyzer(GameFolder folder, const KnownCommands &known)
    : m_folder(std::move(folder)), m_known(known), m_knownNames(known.names())
{
    m_defaultRc = std::make_shared<const ConfigFile>(ConfigFile::read(DefaultValveRc, known));
    m_defaultConfig = std::make_shared<const ConfigFile>(ConfigFile::read(DefaultConfigCfg, known));
}

void ConfigAnalyzer::setAcceptedNames(const QStringList &names)
{
    m_accepted.clear();
    for (const QString &name : names)
        m_accepted.insert(name.toLower());
}

void ConfigAnalyzer::setDocument(const QString &path, const QString &text)
{
    Entry &entry = m_entries[configPath(path)];
    entry.document = true;
    entry.stale = true;
    entry.text = text;
}

void ConfigAnalyzer::closeDocument(const QString &path)
{
    m_entries.remove(configPath(path));
}

std::shared_ptr<const ConfigFile> ConfigAnalyzer::factsFor(const QFileInfo &info, QString &error)
{
    const QString path = info.filePath();
    Entry &entry = m_entries[path];
    if (entry.document) {
        if (entry.stale) {
            entry.facts = std::make_shared<const ConfigFile>(ConfigFile::read(entry.text, m_known));
            entry.stale = false;
            // What was read is kept; a large document's text is not kept twice.
            entry.text = QString();
        }
        error.clear();
        return entry.facts;
    }
    // A file on disk is read again only when its time or size changed.
    if (entry.stale || info.lastModified() != entry.modified || info.size() != entry.size) {
        entry.modified = info.lastModified();
        entry.size = info.size();
        Result<QString> text = readConfig(path);
        entry.error = text ? QString() : text.error();
        entry.facts = std::make_shared<const ConfigFile>(text ? ConfigFile::read(text.value(), m_known) : ConfigFile());
        entry.stale = false;
    }
    error = entry.error;
    return entry.facts;
}

QStringList ConfigAnalyzer::nearest(const QString &name, const ConfigModel &model)
{
    const QString key = name.toLower();
    auto known = m_nearestKnown.find(key);
    if (known == m_nearestKnown.end()) {
        const int limit = nearLimit(name);
        QList<std::pair<int, QString>> found;
        for (const QString &candidate : m_knownNames) {
            const int d = distance(name, candidate, limit);
            if (d <= limit)
                found.append({d, candidate});
        }
        std::stable_sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
        QStringList names;
        for (qsizetype i = 0; i < found.size() && names.size() < 3; ++i) {
            if (!names.contains(found[i].second, Qt::CaseInsensitive))
                names.append(found[i].second);
        }
        known = m_nearestKnown.insert(key, names);
    }
    QStringList names = *known;
    const int limit = nearLimit(name);
    // Said once each, whatever the letter case: "wait or wait" helps nobody.
    for (const ConfigModel::Aliased &alias : model.m_aliases) {
        if (names.size() < 3 && distance(name, alias.first.name, limit) <= limit
            && !names.contains(alias.first.name, Qt::CaseInsensitive))
            names.append(alias.first.name);
    }
    return names;
}

// What one analysis builds up as it goes.
struct ConfigAnalyzer::Run
{
    ConfigModel model;
    QList<ConfigProblem> problems;
    QHash<QString, int> visited; // path -> index in model.files
    QStringList stack;           // paths of the files running, outermost first
    int nextRank = 0;
};

ConfigModel ConfigAnalyzer::analyze()
{
    Run run;
    run.model.folder = m_folder.folder();
    // The start files. rehlds engine/host.cpp Host_Init queues "exec valve.rc";
    // sys_engine.cpp ForceReloadProfile then adds "exec config.cfg", which the
    // game wrote ending in "exec userconfig.cfg". xash3d-fwgs engine/common/
    // host.c runs config.cfg only when valve.rc did not (host.config_executed).
    if (!start(run, QStringLiteral("valve.rc"), true))
        follow(run, QStringLiteral("valve.rc"), QString(), m_defaultRc, 0, -1, -1, true);
    if (!start(run, QStringLiteral("config.cfg"), true))
        follow(run, QStringLiteral("config.cfg"), QString(), m_defaultConfig, 0, -1, -1, true);
    // A server's start files, run when it starts a map rather than at the
    // game's start: rehlds engine/sv_main.cpp registers servercfgfile
    // ("server.cfg", run by sys_dll2.cpp for a dedicated server) and
    // lservercfgfile ("listenserver.cfg").
    for (const QString &name : {QStringLiteral("listenserver.cfg"), QStringLiteral("server.cfg")}) {
        const qsizetype first = run.model.files.size();
        start(run, name, false);
        for (qsizetype i = first; i < run.model.files.size(); ++i)
            run.model.files[i].onServer = true;
    }
    // Open documents nothing runs at start-up are read with what they exec.
    QStringList documents;
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
        if (it->document)
            documents.append(it.key());
    }
    documents.sort();
    for (const QString &path : documents) {
        if (run.visited.contains(path))
            continue;
        QString error;
        std::shared_ptr<const ConfigFile> facts = factsFor(QFileInfo(path), error);
        follow(run, QFileInfo(path).fileName(), path, facts, 0, -1, -1, false);
    }

    knownAliases(run);
    fileProblems(run);
    refusedAliases(run);
    aliasLoops(run);
    replaced(run);
    sortProblems(run);
    return std::move(run.model);
}

bool ConfigAnalyzer::start(Run &run, const QString &name, bool atStartup)
{
    const QFileInfo file = m_folder.locate(name);
    if (file.filePath().isEmpty())
        return false;
    if (run.visited.contains(file.filePath()))
        return true;
    QString error;
    std::shared_ptr<const ConfigFile> facts = factsFor(file, error);
    if (!error.isEmpty())
        run.problems.append({file.filePath(), 0, 0, 0, error, ProblemRule::Unreadable, {}, {}});
    follow(run, name, file.filePath(), facts, 0, -1, -1, atStartup);
    return true;
}

// Follows exec lines depth-first, in order, once per file: rehlds
// engine/cmd.cpp Cmd_Exec_f inserts the file's text at the front of the
// command buffer (Cbuf_InsertTextLines), so it runs before the rest of the
// file that exec'd it.
void ConfigAnalyzer::follow(Run &run, const QString &name, const QString &path,
                            const std::shared_ptr<const ConfigFile> &facts, int depth, int parent, int execLine,
                            bool atStartup)
{
    ConfigModel &model = run.model;
    const int index = int(model.files.size());
    StartupFile file;
    file.name = name;
    file.path = path;
    file.depth = depth;
    file.parent = parent;
    file.execLine = execLine;
    file.atStartup = atStartup;
    file.settings = facts->settingCount;
    file.aliases = int(facts->aliases.size());
    file.binds = int(std::count_if(facts->binds.begin(), facts->binds.end(),
                                   [](const ConfigFile::Bind &b) { return b.kind == ConfigFile::Bind::Kind::Bind; }));
    model.files.append(file);
    model.m_ran.append({facts, {}});
    if (!path.isEmpty()) {
        run.visited.insert(path, index);
        run.stack.append(path);
    }
    int from = 0;
    for (const ConfigFile::Exec &exec : facts->execs) {
        const QFileInfo found = m_folder.locate(exec.name);
        const QString target = found.filePath();
        if (target.isEmpty()) {
            if (!ExecRules::quietWhenMissing(exec.name))
                run.problems.append({path, exec.line, exec.column, exec.length,
                                     QStringLiteral("exec %1: there is no such file in the game folder; the game says "
                                                    "\"couldn't exec %1\".")
                                         .arg(exec.name),
                                     ProblemRule::ExecMissing,
                                     {},
                                     {}});
            continue;
        }
        if (!exec.atTop)
            continue;
        if (run.stack.contains(target)) {
            QStringList loop;
            for (qsizetype i = run.stack.indexOf(target); i < run.stack.size(); ++i)
                loop.append(QFileInfo(run.stack[i]).fileName());
            loop.append(QFileInfo(target).fileName());
            run.problems.append({path, exec.line, exec.column, exec.length,
                                 QStringLiteral("exec loop: %1. The game would run these files again and again.")
                                     .arg(loop.join(QStringLiteral(" → "))),
                                 ProblemRule::ExecLoop,
                                 {},
                                 {}});
            continue;
        }
        if (run.visited.contains(target))
            continue;
        model.m_ran[index].segments.append({from, exec.command, run.nextRank++});
        from = exec.command + 1;
        QString error;
        std::shared_ptr<const ConfigFile> child = factsFor(found, error);
        if (!error.isEmpty())
            run.problems.append({target, 0, 0, 0, error, ProblemRule::Unreadable, {}, {}});
        follow(run, exec.name, target, child, depth + 1, index, exec.line, atStartup);
    }
    model.m_ran[index].segments.append({from, std::numeric_limits<int>::max(), run.nextRank++});
    if (!path.isEmpty())
        run.stack.removeLast();
}

// An alias defined in any file is known in all: each name's first definition in run order.
void ConfigAnalyzer::knownAliases(Run &run) const
{
    ConfigModel &model = run.model;
    for (int i = 0; i < model.files.size(); ++i) {
        const ConfigFile &facts = *model.m_ran[i].facts;
        for (const ConfigFile::AliasName &name : facts.aliasNames) {
            const ConfigFile::Alias &alias = facts.aliases[name.first];
            ConfigModel::Aliased &known = model.m_aliases[name.key];
            const qint64 rank = model.rank(i, alias.command);
            const bool first = known.count == 0 || rank < known.rank;
            known.count += name.count;
            if (first) {
                known.first = {alias.name, alias.body, model.files[i].path, model.files[i].name, alias.line};
                known.rank = rank;
                known.alias = &alias;
            }
        }
    }
}

// A name no catalogue entry or alias defines: whose it is when the list of
// names beyond the game knows (a notice), the known names it is near (a
// warning: very likely a typo), or a name nobody knows (a notice). The
// engine sends what it does not know to the server when connected (rehlds
// engine/cmd.cpp Cmd_ExecuteString_internal, Cmd_ForwardToServer).
ConfigProblem ConfigAnalyzer::unknownName(const ConfigFile::Use &use, const QString &path, const ConfigModel &model,
                                          bool writtenByGame)
{
    ConfigProblem p{path, use.line, use.column, use.length, {}, ProblemRule::UnknownName, use.name, {}};
    if (const std::optional<NameOwners::Owner> owner = NameOwners::builtIn().owner(use.name)) {
        p.rule = owner->forwarded ? ProblemRule::ForwardedName : ProblemRule::ThirdPartyName;
        p.whose = owner->whose;
        p.message = owner->forwarded
                        ? QStringLiteral("%1: a command the client sends on to the server, for %2.")
                              .arg(use.name, owner->whose)
                        : QStringLiteral("%1: a name of %2; the game runs it only where that is installed.")
                              .arg(use.name, owner->whose);
        return p;
    }
    // The game writes into config.cfg only the saved variables it has
    // (rehlds engine/host.cpp Host_WriteConfiguration, cvar.cpp
    // Cvar_WriteVariables): a name a line of it starts with is no typo, but
    // one of this build of the game that the catalogue lacks.
    if (writtenByGame && use.column == 0) {
        p.whose = QStringLiteral("config.cfg");
        p.message = QStringLiteral("%1: a saved variable of this game, as the game wrote it into config.cfg; the "
                                   "catalogue does not know it.")
                        .arg(use.name);
        return p;
    }
    const QStringList near = nearest(use.name, model);
    if (!near.isEmpty()) {
        p.rule = ProblemRule::NearName;
        p.message = QStringLiteral("Unknown command \"%1\": did you mean %2?").arg(use.name, listed(near));
        return p;
    }
    p.message = QStringLiteral("Unknown command \"%1\": neither the catalogue nor any alias of the configuration has "
                               "it; connected, the game sends it to the server.")
                    .arg(use.name);
    return p;
}

// Each file's own problems, and the names no catalogue entry or alias defines.
void ConfigAnalyzer::fileProblems(Run &run)
{
    const ConfigModel &model = run.model;
    for (int i = 0; i < model.files.size(); ++i) {
        const ConfigFile &facts = *model.m_ran[i].facts;
        const QString &path = model.files[i].path;
        for (const ConfigFile::Problem &p : facts.problems)
            run.problems.append({path, p.line, p.column, p.length, p.message, p.rule, {}, {}});
        // Without a catalogue (commands.dat missing) every name would be unknown.
        if (m_knownNames.isEmpty())
            continue;
        const bool written = model.files[i].depth == 0 && model.files[i].atStartup
                             && model.files[i].name.compare(QLatin1String("config.cfg"), Qt::CaseInsensitive) == 0;
        for (const ConfigFile::Use &use : facts.unknown) {
            const QString key = use.name.toLower();
            if (model.m_aliases.contains(key) || m_accepted.contains(key))
                continue;
            run.problems.append(unknownName(use, path, model, written));
        }
    }
}

// Alias loops: rehlds engine/cmd.cpp Cmd_ExecuteString_internal puts an
// alias's text at the front of the buffer (Cbuf_InsertText) and Cbuf_Execute
// runs on until the buffer is empty or a wait, so an alias that leads back
// to itself with no wait never lets the frame end. An alias defined more
// than once (a toggle that redefines itself) is left out: which body runs
// depends on the state.
void ConfigAnalyzer::aliasLoops(Run &run) const
{
    const ConfigModel &model = run.model;
    QHash<QString, const ConfigFile::Alias *> single;
    for (auto it = model.m_aliases.cbegin(); it != model.m_aliases.cend(); ++it) {
        if (it->count == 1)
            single.insert(it.key(), it->alias);
    }
    auto next = [&](const QString &name) {
        QStringList out;
        const ConfigFile::Alias *alias = single.value(name);
        if (!alias || alias->waits)
            return out;
        for (const QString &call : alias->calls) {
            if (single.contains(call) && !out.contains(call))
                out.append(call);
        }
        return out;
    };
    QStringList keys = single.keys();
    keys.sort();
    QSet<QString> inLoop; // each loop is said once, at its first alias by name
    for (const QString &start : keys) {
        if (inLoop.contains(start))
            continue;
        // The shortest way back to `start`, breadth first.
        QHash<QString, QString> cameFrom;
        QStringList queue{start};
        QString last;
        for (qsizetype q = 0; q < queue.size() && last.isEmpty(); ++q) {
            for (const QString &to : next(queue[q])) {
                if (to == start) {
                    last = queue[q];
                    break;
                }
                if (!cameFrom.contains(to)) {
                    cameFrom.insert(to, queue[q]);
                    queue.append(to);
                }
            }
        }
        if (last.isEmpty())
            continue;
        QStringList path{start};
        for (QString at = last; at != start; at = cameFrom.value(at))
            path.prepend(at);
        path.prepend(start);
        QStringList shown;
        for (const QString &key : path) {
            shown.append(model.m_aliases.value(key).first.name);
            inLoop.insert(key);
        }
        const AliasSite &definition = model.m_aliases.value(start).first;
        run.problems.append({definition.path, definition.line, 0, 0,
                             QStringLiteral("Alias loop: %1 runs for ever with no wait, which freezes the game.")
                                 .arg(shown.join(QStringLiteral(" → "))),
                             ProblemRule::AliasLoop,
                             {},
                             {}});
    }
}

// What is set at start-up, in the order the game sets it, and what of it
// is lost. The order is the start-up order of the files: each file's own
// commands as written, an exec'd file's where its exec stands.
void ConfigAnalyzer::replaced(Run &run) const
{
    const ConfigModel &model = run.model;
    QList<std::pair<qint64, Assignment>> ranked;
    for (int i = 0; i < model.files.size(); ++i) {
        if (!model.files[i].atStartup)
            continue;
        const ConfigFile &facts = *model.m_ran[i].facts;
        const StartupFile &file = model.files[i];
        // rehlds engine/host.cpp Host_WriteConfiguration writes config.cfg anew at quitting.
        const bool rewritten = file.depth == 0 && file.name.compare(QLatin1String("config.cfg"), Qt::CaseInsensitive) == 0;
        for (auto it = facts.settings.cbegin(); it != facts.settings.cend(); ++it) {
            for (const ConfigFile::Setting &s : *it)
                ranked.append({model.rank(i, s.command),
                               {Assignment::Kind::Setting, it.key(), s.name, s.value, file.path, file.name, s.line,
                                s.column, s.length, rewritten}});
        }
        for (const ConfigFile::Bind &b : facts.binds) {
            const Assignment::Kind kind = b.kind == ConfigFile::Bind::Kind::Bind     ? Assignment::Kind::Bind
                                          : b.kind == ConfigFile::Bind::Kind::Unbind ? Assignment::Kind::Unbind
                                                                                     : Assignment::Kind::UnbindAll;
            ranked.append(
                {model.rank(i, b.command), {kind, b.key, b.written, b.runs, file.path, file.name, b.line, b.column, b.length, rewritten}});
        }
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<Assignment> runOrder;
    runOrder.reserve(ranked.size());
    for (auto &r : ranked)
        runOrder.append(std::move(r.second));
    run.problems.append(overrides(runOrder));
}

// Alias names the game of this folder refuses; the alias is then not
// defined, so whatever else was said of its name goes.
void ConfigAnalyzer::refusedAliases(Run &run) const
{
    const QString game = QFileInfo(m_folder.folder()).fileName();
    const ConfigModel &model = run.model;
    for (int i = 0; i < model.files.size(); ++i) {
        for (const ConfigFile::Alias &alias : model.m_ran[i].facts->aliases) {
            if (!refusedAliasName(game, alias.name))
                continue;
            const QString &path = model.files[i].path;
            run.problems.removeIf([&](const ConfigProblem &p) {
                return p.path == path && p.line == alias.line && p.column == alias.column;
            });
            run.problems.append({path, alias.line, alias.column, alias.length,
                                 QStringLiteral("%1: the game refuses an alias of that name in %2 (\"Alias name is "
                                                "invalid\").")
                                     .arg(alias.name, game),
                                 ProblemRule::AliasNameRefused,
                                 {},
                                 {}});
        }
    }
}

// In run order of the files, then by place, each once; each file counts its own.
void ConfigAnalyzer::sortProblems(Run &run)
{
    ConfigModel &model = run.model;
    QHash<QString, int> order;
    for (int i = int(model.files.size()) - 1; i >= 0; --i)
        order.insert(model.files[i].path, i);
    std::stable_sort(run.problems.begin(), run.problems.end(), [&](const ConfigProblem &a, const ConfigProblem &b) {
        const int fa = order.value(a.path, -1);
        const int fb = order.value(b.path, -1);
        if (fa != fb)
            return fa < fb;
        if (a.line != b.line)
            return a.line < b.line;
        if (a.column != b.column)
            return a.column < b.column;
        return a.message < b.message;
    });
    // Uses inside one body share its place: "w" nine times in an alias is said once.
    run.problems.erase(std::unique(run.problems.begin(), run.problems.end()), run.problems.end());
    for (const ConfigProblem &p : run.problems) {
        const int i = order.value(p.path, -1);
        if (i >= 0)
            ++model.files[i].problems;
    }
    model.problems = std::move(run.problems);
}
