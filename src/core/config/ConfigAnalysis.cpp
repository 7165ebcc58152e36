#include "config/ConfigAnalysis.h"

#include "config/KnownCommands.h"
#include "settings/RegularFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <functional>
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
// near everything short, so it gets none.
int nearLimit(const QString &name)
{
    return name.size() < 3 ? 0 : name.size() < 5 ? 1 : 2;
}

QString listed(const QStringList &names)
{
    if (names.size() == 1)
        return names.front();
    return names.mid(0, names.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" or ") + names.back();
}

// A loop of a few names is shown whole; a long one (an input can make it
// thousands long) keeps its start and its end, so a message stays short.
QString shownChain(qsizetype count, const std::function<QString(qsizetype)> &at)
{
    constexpr qsizetype Head = 6, Tail = 5;
    QStringList shown;
    if (count <= Head + Tail + 1) {
        for (qsizetype i = 0; i < count; ++i)
            shown.append(at(i));
    } else {
        for (qsizetype i = 0; i < Head; ++i)
            shown.append(at(i));
        shown.append(QStringLiteral("… (%1 more)").arg(count - Head - Tail));
        for (qsizetype i = count - Tail; i < count; ++i)
            shown.append(at(i));
    }
    return shown.join(QStringLiteral(" → "));
}

} // namespace

ConfigAnalyzer::ConfigAnalyzer(GameFolder folder, const KnownCommands &known)
    : m_folder(std::move(folder)), m_known(known), m_knownNames(known.names())
{
    m_defaultRc = std::make_shared<const ConfigFile>(ConfigFile::read(DefaultValveRc, known));
    m_defaultConfig = std::make_shared<const ConfigFile>(ConfigFile::read(DefaultConfigCfg, known));
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
        for (qsizetype i = 0; i < found.size() && i < 3; ++i)
            names.append(found[i].second);
        known = m_nearestKnown.insert(key, names);
    }
    QStringList names = *known;
    const int limit = nearLimit(name);
    for (const ConfigModel::Aliased &alias : model.m_aliases) {
        if (names.size() < 3 && distance(name, alias.first.name, limit) <= limit)
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
    QHash<QString, int> onStack; // path -> its place in `stack`
    int nextRank = 0;
    // Aliases of open files nothing runs, known only in their own file and
    // what it execs: by the index of that open file.
    QHash<int, QSet<QString>> ownAliases;
};

namespace {

// The file at the top of the exec chain that ran this one.
int rootOf(const ConfigModel &model, int file)
{
    while (model.files[file].parent >= 0)
        file = model.files[file].parent;
    return file;
}

// Neither run at the game's start nor by a server: an open document read on its own.
bool standsAlone(const StartupFile &file)
{
    return !file.atStartup && !file.onServer;
}

} // namespace

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

    // Each step can take long on a hostile folder; a cancelled run ends
    // early, and its model is not used.
    if (!cancelled())
        knownAliases(run);
    if (!cancelled())
        fileProblems(run);
    if (!cancelled())
        aliasLoops(run);
    if (!cancelled())
        keysBoundTwice(run);
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
        run.problems.append({file.filePath(), 0, 0, 0, error});
    follow(run, name, file.filePath(), facts, 0, -1, -1, atStartup);
    return true;
}

// Follows exec lines depth-first, in order, once per file: rehlds
// engine/cmd.cpp Cmd_Exec_f inserts the file's text at the front of the
// command buffer (Cbuf_InsertTextLines), so it runs before the rest of the
// file that exec'd it. The files running are kept on a list of their own,
// not on the call stack: a chain of 20,000 files execing one another is
// followed like a short one.
void ConfigAnalyzer::follow(Run &run, const QString &name, const QString &path,
                            const std::shared_ptr<const ConfigFile> &facts, int depth, int parent, int execLine,
                            bool atStartup)
{
    ConfigModel &model = run.model;
    struct Frame
    {
        int index = 0;
        QString path;
        std::shared_ptr<const ConfigFile> facts;
        qsizetype next = 0; // the next of its execs
        int from = 0;       // the first command of its stretch running now
    };
    std::vector<Frame> frames;
    const auto enter = [&](const QString &name, const QString &path, const std::shared_ptr<const ConfigFile> &facts,
                           int depth, int parent, int execLine) {
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
        file.binds = int(std::count_if(facts->binds.begin(), facts->binds.end(), [](const ConfigFile::Bind &b) {
            return b.kind == ConfigFile::Bind::Kind::Bind;
        }));
        model.files.append(file);
        model.m_ran.append({facts, {}});
        if (!path.isEmpty()) {
            run.visited.insert(path, index);
            run.onStack.insert(path, int(run.stack.size()));
            run.stack.append(path);
        }
        frames.push_back({index, path, facts, 0, 0});
    };
    enter(name, path, facts, depth, parent, execLine);
    while (!frames.empty() && !cancelled()) {
        Frame &top = frames.back();
        if (top.next == top.facts->execs.size()) {
            model.m_ran[top.index].segments.append({top.from, std::numeric_limits<int>::max(), run.nextRank++});
            if (!top.path.isEmpty()) {
                run.onStack.remove(top.path);
                run.stack.removeLast();
            }
            frames.pop_back();
            continue;
        }
        const ConfigFile::Exec &exec = top.facts->execs[top.next++];
        const QFileInfo found = m_folder.locate(exec.name);
        const QString target = found.filePath();
        if (target.isEmpty()) {
            // A link to a device, a pipe or a folder by that name is there, not missing.
            const Status regular = RegularFile::check(QDir(m_folder.folder()).filePath(exec.name));
            if (!regular)
                run.problems.append({top.path, exec.line, exec.column, exec.length,
                                     QStringLiteral("exec %1: %2").arg(exec.name, regular.error())});
            else if (!ExecRules::quietWhenMissing(exec.name))
                run.problems.append({top.path, exec.line, exec.column, exec.length,
                                     QStringLiteral("exec %1: there is no such file in the game folder; the game says "
                                                    "\"couldn't exec %1\".")
                                         .arg(exec.name)});
            continue;
        }
        if (!exec.atTop)
            continue;
        if (const auto running = run.onStack.constFind(target); running != run.onStack.cend()) {
            const qsizetype first = *running;
            const qsizetype count = run.stack.size() - first + 1;
            const QString loop = shownChain(count, [&](qsizetype i) {
                return QFileInfo(i + first < run.stack.size() ? run.stack[i + first] : target).fileName();
            });
            run.problems.append({top.path, exec.line, exec.column, exec.length,
                                 QStringLiteral("exec loop: %1. The game would run these files again and again.")
                                     .arg(loop)});
            continue;
        }
        if (run.visited.contains(target))
            continue;
        model.m_ran[top.index].segments.append({top.from, exec.command, run.nextRank++});
        top.from = exec.command + 1;
        QString error;
        std::shared_ptr<const ConfigFile> child = factsFor(found, error);
        if (!error.isEmpty())
            run.problems.append({target, 0, 0, 0, error});
        const int parentIndex = top.index;
        const int childDepth = int(frames.size()) + depth;
        enter(exec.name, target, child, childDepth, parentIndex, exec.line); // `top` is not used after this
    }
}

// An alias defined in any file is known in all: each name's first definition in run order.
void ConfigAnalyzer::knownAliases(Run &run) const
{
    ConfigModel &model = run.model;
    for (int i = 0; i < model.files.size(); ++i) {
        const ConfigFile &facts = *model.m_ran[i].facts;
        // A file the player opened but nothing runs lends its aliases to no
        // start-up file: the game would never have read them.
        if (standsAlone(model.files[i])) {
            QSet<QString> &own = run.ownAliases[rootOf(model, i)];
            for (const ConfigFile::AliasName &name : facts.aliasNames)
                own.insert(name.key);
            continue;
        }
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

// Each file's own problems, and the names no catalogue entry or alias defines.
void ConfigAnalyzer::fileProblems(Run &run)
{
    const ConfigModel &model = run.model;
    for (int i = 0; i < model.files.size(); ++i) {
        const ConfigFile &facts = *model.m_ran[i].facts;
        const QString &path = model.files[i].path;
        for (const ConfigFile::Problem &p : facts.problems)
            run.problems.append({path, p.line, p.column, p.length, p.message});
        // Without a catalogue (commands.dat missing) every name would be unknown.
        if (m_knownNames.isEmpty())
            continue;
        const QSet<QString> own =
            standsAlone(model.files[i]) ? run.ownAliases.value(rootOf(model, i)) : QSet<QString>();
        for (const ConfigFile::Use &use : facts.unknown) {
            if (model.m_aliases.contains(use.name.toLower()) || own.contains(use.name.toLower()))
                continue;
            const QStringList near = nearest(use.name, model);
            run.problems.append(
                {path, use.line, use.column, use.length,
                 near.isEmpty() ? QStringLiteral("Unknown command \"%1\": neither the catalogue nor any alias of the "
                                                 "configuration has it.")
                                      .arg(use.name)
                                : QStringLiteral("Unknown command \"%1\": did you mean %2?").arg(use.name, listed(near))});
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
    // Aliases by number, in name order; an edge for each alias a body runs.
    QStringList keys;
    for (auto it = model.m_aliases.cbegin(); it != model.m_aliases.cend(); ++it) {
        if (it->count == 1)
            keys.append(it.key());
    }
    keys.sort();
    const int n = int(keys.size());
    QHash<QString, int> number;
    number.reserve(n);
    for (int i = 0; i < n; ++i)
        number.insert(keys[i], i);
    std::vector<std::vector<int>> next(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const ConfigFile::Alias *alias = model.m_aliases.value(keys[i]).alias;
        if (!alias || alias->waits)
            continue;
        for (const QString &call : alias->calls) {
            const auto to = number.constFind(call);
            if (to != number.cend() && std::find(next[i].begin(), next[i].end(), *to) == next[i].end())
                next[i].push_back(*to);
        }
    }

    // Only an alias in a strongly connected part (Tarjan's, with a stack of
    // its own: a chain of 200,000 aliases is no deeper) can lead back to itself.
    std::vector<int> part(static_cast<size_t>(n), -1), low(static_cast<size_t>(n)), order(static_cast<size_t>(n), -1), stack;
    std::vector<bool> stacked(static_cast<size_t>(n), false);
    std::vector<std::pair<int, size_t>> calls; // alias, next edge
    int counter = 0, parts = 0;
    for (int root = 0; root < n && !cancelled(); ++root) {
        if (order[root] >= 0)
            continue;
        calls.push_back({root, 0});
        order[root] = low[root] = counter++;
        stack.push_back(root);
        stacked[root] = true;
        while (!calls.empty()) {
            auto &[v, edge] = calls.back();
            if (edge < next[v].size()) {
                const int w = next[v][edge++];
                if (order[w] < 0) {
                    order[w] = low[w] = counter++;
                    stack.push_back(w);
                    stacked[w] = true;
                    calls.push_back({w, 0});
                } else if (stacked[w]) {
                    low[v] = std::min(low[v], order[w]);
                }
                continue;
            }
            const int done = v;
            calls.pop_back();
            if (!calls.empty())
                low[calls.back().first] = std::min(low[calls.back().first], low[done]);
            if (low[done] == order[done]) {
                for (int w = -1; w != done;) {
                    w = stack.back();
                    stack.pop_back();
                    stacked[w] = false;
                    part[w] = parts;
                }
                ++parts;
            }
        }
    }
    std::vector<int> partSize(static_cast<size_t>(parts), 0), inPart(static_cast<size_t>(n), 0);
    for (int i = 0; i < n && !cancelled(); ++i) {
        ++partSize[part[i]];
        for (const int to : next[i])
            inPart[i] += part[to] == part[i];
    }

    const auto name = [&](int i) { return model.m_aliases.value(keys[i]).first.name; };
    const auto report = [&](int start, const QString &loop) {
        const AliasSite &definition = model.m_aliases.value(keys[start]).first;
        run.problems.append({definition.path, definition.line, 0, 0,
                             QStringLiteral("Alias loop: %1 runs for ever with no wait, which freezes the game.")
                                 .arg(loop)});
    };
    // The shortest way back to each alias, breadth first within its part.
    std::vector<int> cameFrom(static_cast<size_t>(n), -1);
    std::vector<int> queue;
    std::vector<bool> ring(static_cast<size_t>(parts), false);
    for (int start = 0; start < n && !cancelled(); ++start) {
        const int p = part[start];
        const bool self = std::find(next[start].begin(), next[start].end(), start) != next[start].end();
        if (partSize[p] == 1 && !self)
            continue;
        if (ring[p])
            continue;
        // A part where each alias runs just one other is a ring: each
        // alias's way back is the ring from there, found once for all.
        if (partSize[p] > 1) {
            bool simple = true;
            std::vector<int> members;
            for (int at = start;;) {
                if (inPart[at] != 1) {
                    simple = false;
                    break;
                }
                members.push_back(at);
                at = *std::find_if(next[at].begin(), next[at].end(), [&](int to) { return part[to] == p; });
                if (at == start)
                    break;
            }
            if (simple && int(members.size()) == partSize[p]) {
                ring[p] = true;
                const qsizetype size = qsizetype(members.size());
                for (qsizetype m = 0; m < size && !cancelled(); ++m)
                    report(members[size_t(m)], shownChain(size + 1, [&](qsizetype i) {
                               return name(members[size_t((m + i) % size)]);
                           }));
                continue;
            }
        }
        queue.assign(1, start);
        int last = -1;
        for (size_t q = 0; q < queue.size() && last < 0; ++q) {
            for (const int to : next[queue[q]]) {
                if (to == start) {
                    last = queue[q];
                    break;
                }
                if (part[to] == p && cameFrom[to] < 0 && to != start) {
                    cameFrom[to] = queue[q];
                    queue.push_back(to);
                }
            }
        }
        std::vector<int> path{start};
        for (int at = last; at != start; at = cameFrom[at])
            path.push_back(at);
        path.push_back(start);
        std::reverse(path.begin(), path.end());
        for (const int visited : queue)
            cameFrom[visited] = -1;
        report(start, shownChain(qsizetype(path.size()), [&](qsizetype i) { return name(path[size_t(i)]); }));
    }
}

// The same key bound twice in the start-up order: the later bind wins
// (xash3d-fwgs in_keys.c Key_SetBinding replaces the key's binding), and
// config.cfg starts with unbindall (rehlds host.cpp Host_WriteConfiguration).
// Binding a key again to the same command loses nothing.
void ConfigAnalyzer::keysBoundTwice(Run &run) const
{
    const ConfigModel &model = run.model;
    struct Event
    {
        qint64 rank;
        int file;
        const ConfigFile::Bind *bind;
    };
    QList<Event> events;
    for (int i = 0; i < model.files.size(); ++i) {
        if (!model.files[i].atStartup)
            continue;
        for (const ConfigFile::Bind &b : model.m_ran[i].facts->binds)
            events.append({model.rank(i, b.command), i, &b});
    }
    std::stable_sort(events.begin(), events.end(), [](const Event &a, const Event &b) { return a.rank < b.rank; });
    QHash<int, Event> bound;                     // the bind each key holds
    QHash<int, std::pair<Event, Event>> cleared; // a bind, and the unbindall that cleared it
    auto where = [&](const Event &e) { return ConfigModel::where(model.files[e.file].name, e.bind->line); };
    auto report = [&](const Event &lost, const QString &why) {
        run.problems.append({model.files[lost.file].path, lost.bind->line, lost.bind->column, lost.bind->length, why});
    };
    auto clearedBy = [&](const std::pair<Event, Event> &wiped) {
        report(wiped.first, QStringLiteral("%1 is cleared by unbindall in %2, which runs later.")
                                .arg(wiped.first.bind->key, where(wiped.second)));
    };
    for (const Event &e : events) {
        const ConfigFile::Bind &b = *e.bind;
        if (b.kind == ConfigFile::Bind::Kind::UnbindAll) {
            for (auto it = bound.cbegin(); it != bound.cend(); ++it)
                cleared.insert(it.key(), {it.value(), e});
            bound.clear();
            continue;
        }
        const bool binds = b.kind == ConfigFile::Bind::Kind::Bind;
        const auto before = bound.constFind(b.code);
        if (before != bound.cend() && !(binds && before->bind->runs == b.runs))
            report(*before, binds ? QStringLiteral("%1 is bound again by %2, which runs later: that bind wins.")
                                        .arg(b.key, where(e))
                                  : QStringLiteral("%1 is unbound by %2, which runs later.").arg(b.key, where(e)));
        const auto wiped = cleared.constFind(b.code);
        if (wiped != cleared.cend()) {
            if (!binds)
                clearedBy(*wiped);
            else if (wiped->first.bind->runs != b.runs)
                report(wiped->first, QStringLiteral("%1 is cleared by unbindall in %2 and bound again by %3: that "
                                                    "bind wins.")
                                         .arg(b.key, where(wiped->second), where(e)));
            cleared.remove(b.code);
        }
        if (binds)
            bound.insert(b.code, e);
        else
            bound.remove(b.code);
    }
    for (const std::pair<Event, Event> &wiped : std::as_const(cleared))
        clearedBy(wiped);
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
