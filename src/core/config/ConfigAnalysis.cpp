#include "config/ConfigAnalysis.h"

#include "config/KeyNames.h"
#include "config/KnownCommands.h"
#include "console/ConsoleRun.h"
#include "settings/RegularFile.h"
#include "config/NameOwners.h"
#include "config/Overrides.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <limits>
#include <vector>

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
const QStringList *refusedAliasNames(const QString &gameDir)
{
    static const QStringList counterStrike = {"cl_autobuy", "cl_rebuy", "gl_ztrick", "gl_ztrick_old", "gl_d3dflip"};
    static const QStringList teamFortress = {"_special", "special"};
    const QString game = gameDir.toLower();
    if (game == QLatin1String("cstrike") || game == QLatin1String("cstrike_beta") || game == QLatin1String("czero"))
        return &counterStrike;
    if (game == QLatin1String("tfc"))
        return &teamFortress;
    return nullptr;
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
    setProfile(EngineProfile::original(EngineProfile::gameOf(QFileInfo(m_folder.folder()).fileName())));
}

void ConfigAnalyzer::setProfile(const EngineProfile &profile)
{
    if (profile == m_profile && m_defaultRc)
        return;
    m_profile = profile;
    m_changed = true;
    m_resumes.reset();
    m_defaultRc = std::make_shared<const ConfigFile>(ConfigFile::read(DefaultValveRc, m_known));
    m_defaultConfig = std::make_shared<const ConfigFile>(ConfigFile::read(DefaultConfigCfg, m_known));
    m_defaultRcConsole = std::make_shared<const ConsoleFile>(QString(), QStringLiteral("valve.rc"), DefaultValveRc, profile);
    m_defaultConfigConsole =
        std::make_shared<const ConsoleFile>(QString(), QStringLiteral("config.cfg"), DefaultConfigCfg, profile);
    // Every file is read into commands again for the new engine.
    for (Entry &entry : m_entries) {
        entry.console.reset();
        if (!entry.document)
            entry.stale = true;
    }
}

void ConfigAnalyzer::setAcceptedNames(const QStringList &names)
{
    QSet<QString> accepted;
    for (const QString &name : names)
        accepted.insert(name.toLower());
    m_changed = m_changed || accepted != m_accepted;
    m_accepted = std::move(accepted);
}

void ConfigAnalyzer::setDocument(const QString &path, const QString &text)
{
    m_changed = true;
    Entry &entry = m_entries[configPath(path)];
    entry.document = true;
    entry.stale = true;
    entry.text = text;
}

void ConfigAnalyzer::closeDocument(const QString &path)
{
    m_changed = true;
    m_entries.remove(configPath(path));
}

ConfigAnalyzer::DiskLook ConfigAnalyzer::look(DiskLook::Kind kind, const QString &name, QFileInfo *found) const
{
    DiskLook seen{kind, name, {}, {}, -1, {}};
    switch (kind) {
    case DiskLook::Kind::Locate: {
        const QFileInfo info = m_folder.locate(name);
        seen.path = info.filePath();
        if (!seen.path.isEmpty()) {
            seen.modified = info.lastModified();
            seen.size = info.size();
        }
        if (found)
            *found = info;
        break;
    }
    case DiskLook::Kind::Find:
        seen.path = m_folder.find(name);
        break;
    case DiskLook::Kind::Regular:
        seen.error = RegularFile::check(name).error();
        break;
    }
    return seen;
}

QFileInfo ConfigAnalyzer::locate(Run &run, const QString &name) const
{
    QFileInfo found;
    run.looks.insert(QStringLiteral("locate ") + name, look(DiskLook::Kind::Locate, name, &found));
    return found;
}

QString ConfigAnalyzer::find(Run &run, const QString &name) const
{
    const QString key = QStringLiteral("find ") + name;
    if (const auto known = run.looks.constFind(key); known != run.looks.cend())
        return known->path;
    return run.looks.insert(key, look(DiskLook::Kind::Find, name))->path;
}

Status ConfigAnalyzer::regularFile(Run &run, const QString &path) const
{
    const DiskLook seen = look(DiskLook::Kind::Regular, path);
    run.looks.insert(QStringLiteral("regular ") + path, seen);
    return seen.error.isEmpty() ? Status::success() : Status::failure(seen.error);
}

bool ConfigAnalyzer::upToDate() const
{
    if (m_changed || m_cancelled)
        return false;
    return std::all_of(m_looks.cbegin(), m_looks.cend(), [this](const DiskLook &seen) {
        return look(seen.kind, seen.name) == seen;
    });
}

void ConfigAnalyzer::readEntry(Entry &entry, const QString &text)
{
    entry.facts = std::make_shared<const ConfigFile>(ConfigFile::read(text, m_known));
    entry.console.reset();
    entry.stale = false;
}

std::shared_ptr<const ConfigFile> ConfigAnalyzer::factsFor(const QFileInfo &info, QString &error)
{
    const QString path = info.filePath();
    Entry &entry = m_entries[path];
    if (entry.document) {
        if (entry.stale) {
            readEntry(entry, entry.text);
            entry.console = std::make_shared<const ConsoleFile>(path, info.fileName(), entry.text, m_profile);
            // What was read is kept; a large document's text is not kept twice.
            entry.text = QString();
        } else if (!entry.console) {
            // The engine changed and the text went: read from the disk's copy is no better,
            // so the document's commands stand as they were read last.
            entry.console = std::make_shared<const ConsoleFile>(path, info.fileName(), QString(), m_profile);
        }
        error.clear();
        return entry.facts;
    }
    // A file on disk is read again only when its time or size changed.
    if (entry.stale || !entry.console || info.lastModified() != entry.modified || info.size() != entry.size) {
        entry.modified = info.lastModified();
        entry.size = info.size();
        Result<QString> text = readConfig(path);
        entry.error = text ? QString() : text.error();
        const QString read = text ? text.value() : QString();
        readEntry(entry, read);
        entry.console = std::make_shared<const ConsoleFile>(path, info.fileName(), read, m_profile);
    }
    error = entry.error;
    return entry.facts;
}

QStringList ConfigAnalyzer::nearest(const QString &name, const ConfigModel &model)
{
    const QString key = name.toLower();
    if (const auto done = m_nearestThisRun.constFind(key); done != m_nearestThisRun.cend())
        return *done;
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
    auto consider = [&](const QString &alias) {
        // Said once each, whatever the letter case: "wait or wait" helps nobody.
        if (names.size() < 3 && distance(name, alias, limit) <= limit && !names.contains(alias, Qt::CaseInsensitive))
            names.append(alias);
    };
    if (m_aliasesThisRun.isEmpty()) {
        for (const ConsoleAlias &alias : model.console->state.aliases)
            m_aliasesThisRun.append(alias.name);
        for (const AliasSite &alias : model.m_otherAliases)
            m_aliasesThisRun.append(alias.name);
        m_aliasesThisRun.sort();
    }
    for (const QString &alias : std::as_const(m_aliasesThisRun))
        consider(alias);
    m_nearestThisRun.insert(key, names);
    return names;
}

// The file `exec name` opens, read once for as long as it stays the same;
// the game's own valve.rc and config.cfg where the folders hold none.
std::shared_ptr<const ConsoleFile> ConfigAnalyzer::consoleFile(Run &run, const QString &name)
{
    const QString key = name.toLower();
    const auto known = run.found.constFind(key);
    if (known != run.found.cend())
        return *known;
    auto file = lookUp(run, name);
    run.found.insert(key, file);
    return file;
}

std::shared_ptr<const ConsoleFile> ConfigAnalyzer::lookUp(Run &run, const QString &name)
{
    const QFileInfo found = locate(run, name);
    if (found.filePath().isEmpty()) {
        if (name.compare(QLatin1String("valve.rc"), Qt::CaseInsensitive) == 0)
            return m_defaultRcConsole;
        if (name.compare(QLatin1String("config.cfg"), Qt::CaseInsensitive) == 0)
            return m_defaultConfigConsole;
        return nullptr;
    }
    QString error;
    const auto facts = factsFor(found, error);
    if (!error.isEmpty() && !run.readErrors.contains(found.filePath())) {
        run.readErrors.insert(found.filePath());
        run.problems.append({found.filePath(), 0, 0, 0, error, ProblemRule::Unreadable, {}, {}});
    }
    run.model.m_facts.insert(found.filePath(), facts);
    return m_entries.value(found.filePath()).console;
}

namespace {

// The file at the top of the exec chain that ran this one.
int rootOf(const ConfigModel &model, int file)
{
    while (model.files[file].parent >= 0)
        file = model.files[file].parent;
    return file;
}

// The config.cfg the game wrote: the one it runs itself at start-up.
bool writtenConfig(const StartupFile &file)
{
    return file.depth == 0 && file.atStartup && file.name.compare(QLatin1String("config.cfg"), Qt::CaseInsensitive) == 0;
}

// Neither run at the game's start nor by a server: an open document read on its own.
bool standsAlone(const StartupFile &file)
{
    return !file.atStartup && !file.onServer;
}

} // namespace

// A server's start files, run when it starts a map rather than at the
// game's start. rehlds engine/sv_main.cpp registers servercfgfile
// ("server.cfg") and lservercfgfile ("listenserver.cfg"). A dedicated server
// runs server.cfg once it is up (engine/sys_dll2.cpp), after the game dll's
// init, where ReGameDLL runs game_init.cfg (regamedll/dlls/game.cpp
// GameDLLInit); then at each map the game dll's InstallGameRules runs
// game.cfg (ValveSoftware/halflife dlls/gamerules.cpp; ReGameDLL's
// gamerules.cpp the same). A listen server runs game.cfg there and then
// listenserver.cfg from the rules' constructor (dlls/multiplay_gamerules.cpp).
QList<ServerStart> ConfigAnalyzer::serverStarts(Run &run) const
{
    auto held = [this, &run](const char *name) {
        return find(run, QString::fromLatin1(name)).isEmpty() ? QStringList() : QStringList{QString::fromLatin1(name)};
    };
    const QStringList init = held("game_init.cfg"), game = held("game.cfg"), dedicated = held("server.cfg"),
                      listen = held("listenserver.cfg");
    QList<ServerStart> starts;
    if (!init.isEmpty() || !dedicated.isEmpty())
        starts.append({QStringLiteral("a dedicated server"), init + dedicated + game});
    if (!listen.isEmpty())
        starts.append({QStringLiteral("a listen server"), game + listen});
    if (starts.isEmpty() && !game.isEmpty())
        starts.append({QStringLiteral("a server"), game});
    return starts;
}

ConfigModel ConfigAnalyzer::analyze()
{
    m_nearestThisRun.clear();
    m_aliasesThisRun.clear();
    Run run;
    run.model.folder = m_folder.folder();
    run.model.profile = m_profile;
    run.model.m_facts.insert(QStringLiteral("valve.rc"), m_defaultRc);
    run.model.m_facts.insert(QStringLiteral("config.cfg"), m_defaultConfig);
    ConsoleStartup::Input input;
    input.profile = m_profile;
    input.known = &m_known;
    input.find = [this, &run](const QString &name) { return consoleFile(run, name); };
    input.stop = &m_cancelled;
    input.servers = serverStarts(run);
    // Open documents nothing runs at start-up are run after it, apart.
    QStringList documents;
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
        if (it->document)
            documents.append(it.key());
    }
    documents.sort();
    for (const QString &path : documents) {
        QString error;
        const auto facts = factsFor(QFileInfo(path), error);
        run.model.m_facts.insert(path, facts);
        input.documents.append(m_entries.value(path).console);
    }
    // An edit of an open document runs the start-up again from just before
    // that document first runs.
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
        if (it->document)
            input.watch.insert(it.key());
    }
    input.resumes = m_resumes;
    ConsoleRun startup = ConsoleStartup::run(input);
    // Kept here, not in the model the window holds.
    m_resumes = std::move(startup.resumes);
    run.model.console = std::make_shared<const ConsoleRun>(std::move(startup));
    const ConsoleRun &console = *run.model.console;
    listFiles(run, console.events, true, false);
    listFiles(run, console.serverEvents, false, true);
    listFiles(run, console.otherEvents, false, false);

    // Each step can take long on a hostile folder; a cancelled run ends
    // early, and its model is not used.
    if (!cancelled())
        otherAliases(run);
    if (!cancelled())
        fileProblems(run);
    if (!cancelled())
        runProblems(run);
    if (!cancelled())
        keysBoundTwice(run);
    if (!cancelled())
        refusedAliases(run);
    if (!cancelled())
        replaced(run);
    sortProblems(run);
    if (!cancelled()) {
        m_looks = std::move(run.looks);
        m_changed = false;
    }
    return std::move(run.model);
}

// The files in the order the console ran them, each under the file whose
// exec ran it. A file running inside itself again (an exec loop) is listed once.
void ConfigAnalyzer::listFiles(Run &run, const QList<ConsoleEvent> &events, bool atStartup, bool onServer)
{
    ConfigModel &model = run.model;
    QHash<int, int> listed; // event -> file
    for (int i = 0; i < events.size(); ++i) {
        const ConsoleEvent &e = events[i];
        if (e.kind != ConsoleEvent::Kind::Exec)
            continue;
        const int parent = e.parent >= 0 ? listed.value(e.parent, -1) : -1;
        const int execLine = parent >= 0 ? e.place.fileLine().line : -1;
        // game.cfg in both a dedicated and a listen server's start: listed once.
        if (e.parent < 0 && onServer) {
            const auto first = std::find_if(model.files.cbegin(), model.files.cend(), [&](const StartupFile &f) {
                return f.parent < 0 && f.onServer && f.path == e.path && !e.path.isEmpty();
            });
            if (first != model.files.cend()) {
                listed.insert(i, int(first - model.files.cbegin()));
                continue;
            }
        }
        // The same exec of the same file entry again: a loop coming round.
        int same = -1;
        for (int f = parent + 1; f < model.files.size() && same < 0; ++f) {
            if (model.files[f].parent == parent && model.files[f].path == e.path && model.files[f].execLine == execLine
                && parent >= 0)
                same = f;
        }
        if (same >= 0) {
            listed.insert(i, same);
            continue;
        }
        bool again = false;
        for (int up = parent; up >= 0 && !again; up = model.files[up].parent)
            again = model.files[up].path == e.path && !e.path.isEmpty();
        if (again) {
            for (int up = parent; up >= 0; up = model.files[up].parent) {
                if (model.files[up].path == e.path) {
                    listed.insert(i, up);
                    break;
                }
            }
            continue;
        }
        StartupFile file;
        file.name = e.name;
        file.path = e.path;
        file.parent = parent;
        file.depth = parent >= 0 ? model.files[parent].depth + 1 : 0;
        file.execLine = execLine;
        file.atStartup = atStartup;
        file.onServer = onServer;
        const auto facts = model.m_facts.value(e.path.isEmpty() ? e.name.toLower() : e.path);
        if (facts) {
            file.settings = facts->settingCount;
            file.aliases = int(facts->aliases.size());
            file.binds = int(std::count_if(facts->binds.begin(), facts->binds.end(), [](const ConfigFile::Bind &b) {
                return b.kind == ConfigFile::Bind::Kind::Bind;
            }));
        }
        listed.insert(i, int(model.files.size()));
        model.files.append(file);
    }
}

// Aliases nothing at start-up defines (inside a server's files, an open
// document, a bind's body) are still known by name: their first definition
// in the files' order.
void ConfigAnalyzer::otherAliases(Run &run) const
{
    ConfigModel &model = run.model;
    const ConsoleState &state = model.console->state;
    for (int i = 0; i < model.files.size(); ++i) {
        const StartupFile &file = model.files[i];
        const auto facts = model.m_facts.value(file.path.isEmpty() ? file.name.toLower() : file.path);
        if (!facts)
            continue;
        // A file the player opened but nothing runs lends its aliases to no
        // start-up file: the game would never have read them.
        if (standsAlone(file)) {
            QSet<QString> &own = run.ownAliases[rootOf(model, i)];
            for (const ConfigFile::AliasName &name : facts->aliasNames)
                own.insert(name.key);
            continue;
        }
        for (const ConfigFile::AliasName &name : facts->aliasNames) {
            if (state.aliases.contains(name.key) || model.m_otherAliases.contains(name.key))
                continue;
            const ConfigFile::Alias &alias = facts->aliases[name.first];
            model.m_otherAliases.insert(name.key, {alias.name, alias.body, file.path, file.name, alias.line});
        }
    }
}

// A name no catalogue entry or alias defines: whose it is when the list of
// names beyond the game knows (a notice), a name of the later Source engine
// (a warning: pasted from another game), the known names it is near (a
// warning: very likely a typo), or a name nobody knows (a notice). The
// engine sends what it does not know to the server when connected (rehlds
// engine/cmd.cpp Cmd_ExecuteString_internal, Cmd_ForwardToServer).
ConfigProblem ConfigAnalyzer::unknownName(const ConfigFile::Use &use, const QString &path, const ConfigModel &model,
                                          bool writtenByGame, const QSet<QString> &savedNames)
{
    ConfigProblem p{path, use.line, use.column, use.length, {}, ProblemRule::UnknownName, use.name, {}};
    const std::optional<NameOwners::Owner> owner = NameOwners::builtIn().owner(use.name);
    if (owner && !owner->sourceEngine) {
        p.rule = owner->forwarded ? ProblemRule::ForwardedName : ProblemRule::ThirdPartyName;
        p.whose = owner->whose;
        p.message = owner->forwarded ? QStringLiteral("%1: a command the client sends on to the server, for %2.")
                                           .arg(use.name, owner->whose)
                    : owner->game    ? QStringLiteral("%1: a name of %2; the catalogue does not describe it yet.")
                                        .arg(use.name, owner->whose)
                                     : QStringLiteral("%1: a name of %2; the game runs it only where that is installed.")
                                        .arg(use.name, owner->whose);
        return p;
    }
    // The game writes into config.cfg only the saved variables it has
    // (rehlds engine/host.cpp Host_WriteConfiguration, cvar.cpp
    // Cvar_WriteVariables): a name a line of it starts with is no typo, but
    // one of this build of the game that the catalogue lacks, in every file.
    if ((writtenByGame && use.column == 0) || savedNames.contains(use.name.toLower())) {
        p.whose = QStringLiteral("config.cfg");
        p.message = QStringLiteral("%1: a saved variable of this game, as the game wrote it into config.cfg; the "
                                   "catalogue does not know it.")
                        .arg(use.name);
        return p;
    }
    if (owner) {
        p.rule = ProblemRule::SourceEngineName;
        p.whose = owner->whose;
        p.message = QStringLiteral("%1 is a name of the later Source engine; this game does not have it, and the line "
                                   "does nothing.")
                        .arg(use.name);
        return p;
    }
    // rehlds engine/common.cpp COM_Parse knows only "//" for a comment: a
    // line written "#hostname x" runs a command of that name, which nobody
    // has. The line does nothing, as its writer wanted.
    if (use.name.startsWith(u'#') && use.column == 0) {
        p.message = QStringLiteral("%1: '#' starts no comment here; the game takes the line for a command it does not "
                                   "know, and does nothing. Write // to keep a line from running.")
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
    // The names the game wrote into config.cfg are its saved variables,
    // wherever else they are set.
    QSet<QString> saved;
    for (const StartupFile &file : std::as_const(model.files)) {
        if (!writtenConfig(file))
            continue;
        if (const auto facts = model.m_facts.value(file.path)) {
            for (const ConfigFile::Use &use : facts->unknown) {
                if (use.column == 0)
                    saved.insert(use.name.toLower());
            }
        }
    }
    QSet<QString> done;
    for (int i = 0; i < model.files.size(); ++i) {
        const StartupFile &file = model.files[i];
        if (file.path.isEmpty() || done.contains(file.path))
            continue;
        done.insert(file.path);
        const auto factsPtr = model.m_facts.value(file.path);
        if (!factsPtr)
            continue;
        const ConfigFile &facts = *factsPtr;
        const QString &path = file.path;
        for (const ConfigFile::Problem &p : facts.problems)
            run.problems.append({path, p.line, p.column, p.length, p.message, p.rule, {}, {}});
        // An exec inside a bind's or an alias's body runs only when that
        // does: its file is looked for here.
        for (const ConfigFile::Exec &exec : facts.execs) {
            if (!exec.atTop && find(run, exec.name).isEmpty() && !ExecRules::quietWhenMissing(exec.name)
                && !ExecRules::writtenByServer(exec.name))
                run.problems.append({path, exec.line, exec.column, exec.length,
                                     QStringLiteral("exec %1: there is no such file in the game folder; the game says "
                                                    "\"couldn't exec %1\".")
                                         .arg(exec.name),
                                     ProblemRule::ExecMissing, {}, {}});
        }
        // Without a catalogue (commands.dat missing) every name would be unknown.
        if (m_knownNames.isEmpty())
            continue;
        const QSet<QString> own =
            standsAlone(model.files[i]) ? run.ownAliases.value(rootOf(model, i)) : QSet<QString>();
        const bool written = writtenConfig(model.files[i]);
        for (const ConfigFile::Use &use : facts.unknown) {
            const QString key = use.name.toLower();
            if (model.alias(use.name) || own.contains(key) || m_accepted.contains(key))
                continue;
            run.problems.append(unknownName(use, path, model, written, saved));
        }
    }
}

namespace {

// What `state` set, in run order (every assignment it records, with its
// origin); with `before`, only what came after that state.
QList<Assignment> runOrder(const ConsoleState &state, const ConsoleState *before)
{
    QList<std::pair<qint64, Assignment>> ranked;
    for (auto it = state.variables.cbegin(); it != state.variables.cend(); ++it) {
        const ConsoleVariable *earlier = before ? before->variable(it.key()) : nullptr;
        const auto stop = it->history.crend() - (earlier ? earlier->history.size() : 0);
        // Only the last value each file sets can be lost, and only to the
        // last of all: a file's earlier lines are passed over (a folder
        // sets rate thousands of times).
        QSet<QString> files;
        const ConsoleSource *last = nullptr; // the file run of the entry after
        for (auto a = it->history.crbegin(); a != stop; ++a) {
            if (a->kind != ConsoleAssignment::Kind::Set || (last && a->place.source.get() == last))
                continue;
            const ConsolePlace::FileLine at = a->place.fileLine();
            if (at.path.isEmpty() || files.contains(at.path))
                continue;
            files.insert(at.path);
            if (a->place.isFile())
                last = a->place.source.get();
            // rehlds engine/host.cpp Host_WriteConfiguration writes config.cfg anew at quitting.
            const bool rewritten = at.file.compare(QLatin1String("config.cfg"), Qt::CaseInsensitive) == 0;
            ranked.append({a->step,
                           {it.key(), it->name, a->value, at.path, at.file, at.line, at.column,
                            at.length, rewritten}});
        }
    }
    std::sort(ranked.begin(), ranked.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<Assignment> order;
    order.reserve(ranked.size());
    for (auto &r : ranked)
        order.append(std::move(r.second));
    return order;
}

} // namespace

// What is set at start-up and when a server starts a map, and what of it a
// later one replaces. Binds are the console's own (keysBoundTwice).
void ConfigAnalyzer::replaced(Run &run) const
{
    const ConsoleRun &console = *run.model.console;
    run.problems.append(overrides(runOrder(console.state, nullptr), QStringLiteral("at start-up")));
    // A server's start: only what its own files set, after the start-up's part.
    for (const ServerRun &server : console.servers)
        run.problems.append(overrides(runOrder(server.state, &console.state), QStringLiteral("on ") + server.start.who));
}

// Alias names the game of this folder refuses; the alias is then not
// defined, so whatever else was said of its name goes.
void ConfigAnalyzer::refusedAliases(Run &run) const
{
    const QString game = QFileInfo(m_folder.folder()).fileName();
    const QStringList *refused = refusedAliasNames(game);
    if (!refused)
        return;
    const ConfigModel &model = run.model;
    QSet<QString> done;
    for (const StartupFile &file : model.files) {
        if (file.path.isEmpty() || done.contains(file.path))
            continue;
        done.insert(file.path);
        const auto facts = model.m_facts.value(file.path);
        if (!facts)
            continue;
        for (const ConfigFile::Alias &alias : facts->aliases) {
            if (!refused->contains(alias.name, Qt::CaseInsensitive))
                continue;
            run.problems.removeIf([&](const ConfigProblem &p) {
                return p.path == file.path && p.line == alias.line && p.column == alias.column;
            });
            run.problems.append({file.path, alias.line, alias.column, alias.length,
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
    // Their places are sorted, and the problems moved once: a large folder
    // has hundreds of thousands, most of them in runs of one file.
    struct Place
    {
        int file, line, column, index;
    };
    std::vector<Place> places;
    places.reserve(run.problems.size());
    int file = -1;
    for (qsizetype i = 0; i < run.problems.size(); ++i) {
        const ConfigProblem &p = run.problems[i];
        if (i == 0 || p.path != run.problems[i - 1].path)
            file = order.value(p.path, -1);
        places.push_back({file, p.line, p.column, int(i)});
    }
    std::stable_sort(places.begin(), places.end(), [&](const Place &a, const Place &b) {
        if (a.file != b.file)
            return a.file < b.file;
        if (a.line != b.line)
            return a.line < b.line;
        if (a.column != b.column)
            return a.column < b.column;
        return run.problems[a.index].message < run.problems[b.index].message;
    });
    QList<ConfigProblem> sorted;
    sorted.reserve(run.problems.size());
    for (const Place &place : places)
        sorted.append(std::move(run.problems[place.index]));
    run.problems = std::move(sorted);
    // Uses inside one body share its place: "w" nine times in an alias is said once.
    run.problems.erase(std::unique(run.problems.begin(), run.problems.end()), run.problems.end());
    for (const ConfigProblem &p : run.problems) {
        const int i = order.value(p.path, -1);
        if (i >= 0)
            ++model.files[i].problems;
    }
    model.problems = std::move(run.problems);
}
