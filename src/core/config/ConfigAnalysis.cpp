#include "config/ConfigAnalysis.h"

#include "config/KeyNames.h"
#include "config/KnownCommands.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <functional>
#include <limits>

namespace {

QString normalPath(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// What the game runs when the folders hold no valve.rc: rehlds engine/host.cpp
// Host_Init queues "exec valve.rc", and the valve.rc the game ships (as kept
// in public game folders, e.g. Drakunovu/csbase valve/valve.rc) runs
// joystick.cfg and autoexec.cfg; its exec language.cfg is left out here, as
// that file comes with the game. config.cfg follows from ForceReloadProfile
// (sys_engine.cpp), as below.
const QString DefaultValveRc = QStringLiteral("exec joystick.cfg\nexec autoexec.cfg\n");

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

int nearLimit(const QString &name)
{
    return name.size() < 5 ? 1 : 2;
}

QString listed(const QStringList &names)
{
    if (names.size() == 1)
        return names.front();
    return names.mid(0, names.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" or ") + names.back();
}

QString fileAndLine(const QString &file, int line)
{
    return QStringLiteral("%1 (line %2)").arg(file).arg(line + 1);
}

} // namespace

// ---------------------------------------------------------------- ConfigModel

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
    const QString wanted = normalPath(path);
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

QString ConfigModel::valueHint(const QString &path, int line, QStringView name) const
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
    const QString head = QStringLiteral("%1 %2 here").arg(mine->name, mine->value);
    if (!files[here].atStartup) {
        if (!winner)
            return head + QStringLiteral("; no file of the start-up order runs this one.");
        return QStringLiteral("%1; no file of the start-up order runs this one, and there %2 sets %3.")
            .arg(head, fileAndLine(files[winnerFile].name, winner->line), winner->value);
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
                                                     : fileAndLine(files[winnerFile].name, winner->line),
                            winner->value);
    if (files[winnerFile].name.compare(QLatin1String("config.cfg"), Qt::CaseInsensitive) == 0 && winnerFile != here)
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
                                           : fileAndLine(files[lastFile].name, last->line);
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
        || normalPath(info.absolutePath()) != folder.folder())
        return {};
    return QStringLiteral("The game rewrites config.cfg when it quits, from its own state: its binds and saved "
                          "settings, then exec userconfig.cfg. Anything else written here (aliases, exec lines, "
                          "comments, settings it does not save) is lost: put it in userconfig.cfg.");
}

// ------------------------------------------------------------- ConfigAnalyzer

ConfigAnalyzer::ConfigAnalyzer(GameFolder folder, const KnownCommands &known)
    : m_folder(std::move(folder)), m_known(known), m_knownNames(known.names())
{
    m_defaultRc = std::make_shared<const ConfigFile>(ConfigFile::read(DefaultValveRc, known));
}

void ConfigAnalyzer::setDocument(const QString &path, const QString &text)
{
    Entry &entry = m_entries[normalPath(path)];
    entry.document = true;
    entry.stale = true;
    entry.text = text;
}

void ConfigAnalyzer::closeDocument(const QString &path)
{
    m_entries.remove(normalPath(path));
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

ConfigModel ConfigAnalyzer::analyze()
{
    ConfigModel model;
    model.folder = m_folder.folder();
    QList<ConfigProblem> problems;
    QHash<QString, int> visited;
    QStringList stack; // paths of the files running, outermost first
    int nextRank = 0;

    // Follows exec lines depth-first, in order, once per file: rehlds
    // engine/cmd.cpp Cmd_Exec_f inserts the file's text at the front of the
    // command buffer (Cbuf_InsertTextLines), so it runs before the rest of
    // the file that exec'd it.
    std::function<void(const QString &, const QString &, std::shared_ptr<const ConfigFile>, int, int, int, bool)> run =
        [&](const QString &name, const QString &path, std::shared_ptr<const ConfigFile> facts, int depth, int parent,
            int execLine, bool atStartup) {
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
                visited.insert(path, index);
                stack.append(path);
            }
            int from = 0;
            for (const ConfigFile::Exec &exec : facts->execs) {
                const QFileInfo found = m_folder.locate(exec.name);
                const QString target = found.filePath();
                if (target.isEmpty()) {
                    if (!ExecRules::quietWhenMissing(exec.name))
                        problems.append({path, exec.line, exec.column, exec.length,
                                         QStringLiteral("exec %1: there is no such file in the game folder; the game "
                                                        "says \"couldn't exec %1\".")
                                             .arg(exec.name)});
                    continue;
                }
                if (!exec.atTop)
                    continue;
                if (stack.contains(target)) {
                    QStringList loop;
                    for (qsizetype i = stack.indexOf(target); i < stack.size(); ++i)
                        loop.append(QFileInfo(stack[i]).fileName());
                    loop.append(QFileInfo(target).fileName());
                    problems.append({path, exec.line, exec.column, exec.length,
                                     QStringLiteral("exec loop: %1. The game would run these files again and again.")
                                         .arg(loop.join(QStringLiteral(" → ")))});
                    continue;
                }
                if (visited.contains(target))
                    continue;
                model.m_ran[index].segments.append({from, exec.command, nextRank++});
                from = exec.command + 1;
                QString error;
                std::shared_ptr<const ConfigFile> child = factsFor(found, error);
                if (!error.isEmpty())
                    problems.append({target, 0, 0, 0, error});
                run(exec.name, target, child, depth + 1, index, exec.line, atStartup);
            }
            model.m_ran[index].segments.append({from, std::numeric_limits<int>::max(), nextRank++});
            if (!path.isEmpty())
                stack.removeLast();
        };

    // The start files. rehlds engine/host.cpp Host_Init queues "exec valve.rc";
    // sys_engine.cpp ForceReloadProfile then adds "exec config.cfg", which the
    // game wrote ending in "exec userconfig.cfg". xash3d-fwgs engine/common/
    // host.c runs config.cfg only when valve.rc did not (host.config_executed).
    const QFileInfo valveRcFile = m_folder.locate(QStringLiteral("valve.rc"));
    const QString valveRc = valveRcFile.filePath();
    if (valveRc.isEmpty()) {
        run(QStringLiteral("valve.rc"), QString(), m_defaultRc, 0, -1, -1, true);
    } else {
        QString error;
        std::shared_ptr<const ConfigFile> facts = factsFor(valveRcFile, error);
        if (!error.isEmpty())
            problems.append({valveRc, 0, 0, 0, error});
        run(QStringLiteral("valve.rc"), valveRc, facts, 0, -1, -1, true);
    }
    const QFileInfo configCfgFile = m_folder.locate(QStringLiteral("config.cfg"));
    const QString configCfg = configCfgFile.filePath();
    if (!configCfg.isEmpty() && !visited.contains(configCfg)) {
        QString error;
        std::shared_ptr<const ConfigFile> facts = factsFor(configCfgFile, error);
        if (!error.isEmpty())
            problems.append({configCfg, 0, 0, 0, error});
        run(QStringLiteral("config.cfg"), configCfg, facts, 0, -1, -1, true);
    }
    // A server's start files, run when it starts a map rather than at the
    // game's start: rehlds engine/sv_main.cpp registers servercfgfile
    // ("server.cfg", run by sys_dll2.cpp for a dedicated server) and
    // lservercfgfile ("listenserver.cfg").
    for (const QString &name : {QStringLiteral("listenserver.cfg"), QStringLiteral("server.cfg")}) {
        const QFileInfo file = m_folder.locate(name);
        if (file.filePath().isEmpty() || visited.contains(file.filePath()))
            continue;
        QString error;
        std::shared_ptr<const ConfigFile> facts = factsFor(file, error);
        if (!error.isEmpty())
            problems.append({file.filePath(), 0, 0, 0, error});
        const int first = int(model.files.size());
        run(name, file.filePath(), facts, 0, -1, -1, false);
        for (int i = first; i < model.files.size(); ++i)
            model.files[i].onServer = true;
    }
    // Open documents nothing runs at start-up are read with what they exec.
    QStringList documents;
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
        if (it->document && !visited.contains(it.key()))
            documents.append(it.key());
    }
    documents.sort();
    for (const QString &path : documents) {
        if (visited.contains(path))
            continue;
        QString error;
        std::shared_ptr<const ConfigFile> facts = factsFor(QFileInfo(path), error);
        run(QFileInfo(path).fileName(), path, facts, 0, -1, -1, false);
    }

    // Aliases known across the files: each name's first definition in run order.
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

    // Local problems, and names nothing defines.
    for (int i = 0; i < model.files.size(); ++i) {
        const ConfigFile &facts = *model.m_ran[i].facts;
        const QString &path = model.files[i].path;
        for (const ConfigFile::Problem &p : facts.problems)
            problems.append({path, p.line, p.column, p.length, p.message});
        // Without a catalogue (commands.dat missing) every name would be unknown.
        for (const ConfigFile::Use &use : m_knownNames.isEmpty() ? QList<ConfigFile::Use>() : facts.unknown) {
            if (model.m_aliases.contains(use.name.toLower()))
                continue;
            const QStringList near = nearest(use.name, model);
            problems.append({path, use.line, use.column, use.length,
                             near.isEmpty()
                                 ? QStringLiteral("Unknown command \"%1\": neither the catalogue nor any alias of the "
                                                  "configuration has it.")
                                       .arg(use.name)
                                 : QStringLiteral("Unknown command \"%1\": did you mean %2?").arg(use.name, listed(near))});
        }
    }

    // Alias loops: rehlds engine/cmd.cpp Cmd_ExecuteString_internal puts an
    // alias's text at the front of the buffer (Cbuf_InsertText) and Cbuf_Execute
    // runs on until the buffer is empty or a wait, so an alias that leads back
    // to itself with no wait never lets the frame end. An alias defined more
    // than once (a toggle that redefines itself) is left out: which body runs
    // depends on the state.
    {
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
        // A loop through `start`: the shortest way back to it, breadth first.
        QStringList keys = single.keys();
        keys.sort();
        for (const QString &start : keys) {
            QHash<QString, QString> cameFrom;
            QStringList queue{start};
            bool found = false;
            QString last;
            for (qsizetype q = 0; q < queue.size() && !found; ++q) {
                for (const QString &to : next(queue[q])) {
                    if (to == start) {
                        found = true;
                        last = queue[q];
                        break;
                    }
                    if (!cameFrom.contains(to)) {
                        cameFrom.insert(to, queue[q]);
                        queue.append(to);
                    }
                }
            }
            if (!found)
                continue;
            QStringList path{start};
            for (QString at = last; at != start; at = cameFrom.value(at))
                path.prepend(at);
            path.prepend(start);
            const AliasSite &definition = model.m_aliases.value(start).first;
            QStringList shown;
            for (const QString &key : path)
                shown.append(model.m_aliases.value(key).first.name);
            problems.append({definition.path, definition.line, 0, 0,
                             QStringLiteral("Alias loop: %1 runs for ever with no wait, which freezes the game.")
                                 .arg(shown.join(QStringLiteral(" → ")))});
        }
    }

    // The same key bound twice in the start-up order: the later bind wins
    // (xash3d-fwgs in_keys.c Key_SetBinding replaces the key's binding; config.cfg
    // starts with unbindall, written by rehlds host.cpp Host_WriteConfiguration).
    {
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
        QHash<int, Event> bound;   // the bind each key holds
        QHash<int, std::pair<Event, Event>> cleared; // a bind, and the unbindall that cleared it
        auto where = [&](const Event &e) { return fileAndLine(model.files[e.file].name, e.bind->line); };
        auto report = [&](const Event &lost, const QString &why) {
            problems.append({model.files[lost.file].path, lost.bind->line, lost.bind->column, lost.bind->length, why});
        };
        for (const Event &e : events) {
            const ConfigFile::Bind &b = *e.bind;
            if (b.kind == ConfigFile::Bind::Kind::UnbindAll) {
                for (auto it = bound.cbegin(); it != bound.cend(); ++it)
                    cleared.insert(it.key(), {it.value(), e});
                bound.clear();
                continue;
            }
            const auto before = bound.constFind(b.code);
            if (before != bound.cend() && !(b.kind == ConfigFile::Bind::Kind::Bind && before->bind->runs == b.runs))
                report(*before, b.kind == ConfigFile::Bind::Kind::Bind
                                    ? QStringLiteral("%1 is bound again by %2, which runs later: that bind wins.")
                                          .arg(b.key, where(e))
                                    : QStringLiteral("%1 is unbound by %2, which runs later.").arg(b.key, where(e)));
            const auto wiped = cleared.constFind(b.code);
            if (wiped != cleared.cend()) {
                if (!(b.kind == ConfigFile::Bind::Kind::Bind && wiped->first.bind->runs == b.runs))
                    report(wiped->first, QStringLiteral("%1 is cleared by unbindall in %2 and bound again by %3: that "
                                                        "bind wins.")
                                             .arg(b.key, where(wiped->second), where(e)));
                cleared.remove(b.code);
            }
            if (b.kind == ConfigFile::Bind::Kind::Bind)
                bound.insert(b.code, e);
            else
                bound.remove(b.code);
        }
        for (auto it = cleared.cbegin(); it != cleared.cend(); ++it)
            report(it->first, QStringLiteral("%1 is cleared by unbindall in %2, which runs later.")
                                  .arg(it->first.bind->key, where(it->second)));
    }

    // In run order of the files, then by place.
    QHash<QString, int> order;
    for (int i = int(model.files.size()) - 1; i >= 0; --i)
        order.insert(model.files[i].path, i);
    std::stable_sort(problems.begin(), problems.end(), [&](const ConfigProblem &a, const ConfigProblem &b) {
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
    for (const ConfigProblem &p : problems) {
        const int i = order.value(p.path, -1);
        if (i >= 0)
            ++model.files[i].problems;
    }
    model.problems = std::move(problems);
    return model;
}
