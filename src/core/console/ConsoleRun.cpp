#include "console/ConsoleRun.h"

#include "console/KeyTraceText.h"

#include <QSet>

#include <optional>
#include <vector>

namespace {

std::shared_ptr<ConsoleSource> startSource(const QString &name)
{
    auto s = std::make_shared<ConsoleSource>();
    s->kind = ConsoleSource::Kind::Engine;
    s->name = name;
    return s;
}

bool isConfigCfgExec(const ConsoleEvent &e)
{
    return e.kind == ConsoleEvent::Kind::Exec && e.name.compare(QLatin1String("config.cfg"), Qt::CaseInsensitive) == 0;
}

// Freezes and overflows that running each alias and each bound key on its
// own meets; a loop is reported once, whichever of its names ran it.
// others: the states left by open documents nothing runs at start-up; their
// aliases are tried too (a loop in jump.cfg freezes the game once it is exec'd).
void runTrials(ConsoleRun &run, const ConsoleStartup::Input &input, const std::vector<ConsoleState> &others)
{
    QSet<QString> seen;
    auto keep = [&](const QList<ConsoleEvent> &events, const QString &key) {
        for (ConsoleEvent e : events) {
            if (e.kind != ConsoleEvent::Kind::Freeze && e.kind != ConsoleEvent::Kind::Overflow)
                continue;
            // A fan-out is the same one whatever was running when it was cut.
            QStringList round = e.loop ? e.chain.mid(0, e.chain.size() - 1) : e.chain.mid(0, 1);
            round.sort();
            const QString id = e.kind == ConsoleEvent::Kind::Freeze ? round.join(u'\n') : key + u'\n' + e.name;
            if (seen.contains(id))
                continue;
            seen.insert(id);
            run.trials.append(std::move(e));
        }
    };
    Console::Bounds bounds;
    bounds.callsPerFrame = 2000;
    bounds.freezes = 1;
    // base: aliases it holds unchanged were tried already.
    auto tryAliases = [&](const ConsoleState &state, const ConsoleState *base) {
    QStringList names;
    for (auto it = state.aliases.cbegin(); it != state.aliases.cend(); ++it) {
        if (base) {
            const auto tried = base->aliases.constFind(it.key());
            if (tried != base->aliases.cend() && tried->body == it->body)
                continue;
        }
        names.append(it.key());
    }
    names.sort();
    // An alias an earlier one's run called already is not run again on its
    // own: what it meets there was met then (a chain of 200,000 aliases is
    // not run 200,000 times).
    QSet<QString> called;
    for (const QString &name : names) {
        if (input.stop && *input.stop)
            return false;
        if (called.contains(name))
            continue;
        Console console(input.profile, *input.known, input.find, state);
        console.setStop(input.stop);
        console.collectCalls(&called);
        console.setBounds(bounds);
        console.setHistory(false);
        auto source = startSource(QStringLiteral("alias %1 run on its own").arg(name));
        console.addText(state.aliases.value(name).name + u'\n', source);
        console.runUntilEmpty(16);
        // A loop is placed where its first alias is defined in this state:
        // the start-up's own state may not hold it.
        QList<ConsoleEvent> events = console.events();
        for (ConsoleEvent &e : events) {
            const ConsoleAlias *first = e.kind == ConsoleEvent::Kind::Freeze && !e.execChain
                                            ? state.alias(e.chain.value(0)) : nullptr;
            if (first && !first->history.isEmpty())
                e.place = first->history.back().place;
        }
        keep(events, QString());
    }
    return true;
    };
    if (!tryAliases(run.state, nullptr))
        return;
    for (const ConsoleState &other : others) {
        if (!tryAliases(other, &run.state))
            return;
    }
    QStringList keys;
    for (auto it = run.state.binds.cbegin(); it != run.state.binds.cend(); ++it) {
        if (it->isBound())
            keys.append(it.key());
    }
    keys.sort();
    for (const QString &key : keys) {
        if (input.stop && *input.stop)
            return;
        const ConsoleStartup::KeyRun trace =
            ConsoleStartup::key(run.state, key, input.profile, *input.known, input.find, 16);
        keep(trace.events, key);
        run.keys.insert(key, KeyTraceText::summary(trace));
    }
}

// Events of another console after those already kept: their parents move with them.
void append(QList<ConsoleEvent> &to, const QList<ConsoleEvent> &events)
{
    const int offset = int(to.size());
    for (ConsoleEvent e : events) {
        if (e.parent >= 0)
            e.parent += offset;
        to.append(std::move(e));
    }
}

} // namespace

const ConsoleAssignment *ConsoleRun::at(const QList<ConsoleAssignment> &history, const QString &path, int line)
{
    for (auto it = history.crbegin(); it != history.crend(); ++it) {
        const ConsolePlace::FileLine f = it->place.fileLine();
        if (f.line == line && f.path == path)
            return &*it;
    }
    return nullptr;
}

namespace {

// The start-up's stages in xash3d-fwgs: valve.rc's frame, config.cfg's,
// then the rest; the original engine has one.
enum Stage { RcFrame, ConfigFrame, Rest };

// The latest resume that the folder still gives the same files before, and
// the file it runs as found now; -1 when the start-up must run from the start.
int resumable(const ConsoleStartup::Input &input, std::shared_ptr<const ConsoleFile> &file)
{
    if (!input.resumes || !input.find)
        return -1;
    int latest = -1;
    qsizetype checked = 0;
    for (int i = 0; i < input.resumes->size(); ++i) {
        const ConsoleResume &r = (*input.resumes)[i];
        if (!(r.console->profile() == input.profile))
            return latest;
        const QList<Console::Lookup> &lookups = r.console->lookups();
        for (; checked < r.lookups; ++checked) {
            if (input.find(lookups[checked].first) != lookups[checked].second)
                return latest;
        }
        const auto now = input.find(r.name);
        if (!now)
            return latest;
        latest = i;
        file = now;
    }
    return latest;
}

} // namespace

ConsoleRun ConsoleStartup::run(const Input &input)
{
    ConsoleRun out;
    out.profile = input.profile;
    auto resumes = std::make_shared<QList<ConsoleResume>>();
    std::shared_ptr<const ConsoleFile> resumed;
    const int from = resumable(input, resumed);
    std::optional<Console> console;
    int stage = RcFrame;
    int begun = 0;
    std::shared_ptr<const ConsoleSource> start;
    QSet<QString> kept;
    if (from >= 0) {
        const ConsoleResume &r = (*input.resumes)[from];
        console.emplace(*r.console);
        stage = r.stage;
        begun = r.begun;
        start = r.start;
        out.resumedAt = console->steps();
        for (int i = 0; i <= from; ++i) {
            resumes->append((*input.resumes)[i]);
            kept.insert((*input.resumes)[i].path);
        }
    } else {
        console.emplace(input.profile, *input.known, input.find);
        start = startSource(QStringLiteral("the game's start-up"));
    }
    console->setFind(input.find);
    console->setStop(input.stop);
    console->setWatch(input.watch, [&](const Console &before, const std::shared_ptr<const ConsoleFile> &file,
                                       const QString &name, const ConsolePlace &place) {
        if (kept.contains(file->path()))
            return;
        auto copy = std::make_shared<Console>(before);
        copy->setWatch({}, {});
        copy->setFind({});
        copy->setStop(nullptr);
        qsizetype lookups = before.lookups().size();
        if (lookups > 0 && before.lookups().back().first == name)
            --lookups;
        resumes->append({std::move(copy), file->path(), name, place, lookups, stage, begun, start});
    });
    if (from >= 0) {
        const ConsoleResume &r = (*input.resumes)[from];
        console->resume(resumed, r.name, r.place);
    }
    if (input.profile.engine == EngineProfile::Engine::Original) {
        if (from < 0) {
            console->addText(QStringLiteral("exec valve.rc\n"), start);
            console->addText(QStringLiteral("exec config.cfg\n"), start);
            console->addText(QStringLiteral("+mlook\n"), start);
        }
        console->runUntilEmpty(Frames - console->frame());
    } else {
        // xash3d-fwgs host.c Host_InitCommon...: "exec valve.rc" when the
        // file exists, one Cbuf_Execute, then config.cfg if nothing ran it.
        if (stage == RcFrame) {
            if (from < 0 && console->find(QStringLiteral("valve.rc"))) {
                console->addText(QStringLiteral("exec valve.rc\n"), start);
                console->runFrame();
            }
            stage = ConfigFrame;
            const auto &events = console->events();
            if (std::none_of(events.begin(), events.end(), isConfigCfgExec)) {
                console->addText(QStringLiteral("exec config.cfg\n"), start);
                console->runFrame();
            }
        }
        if (stage != Rest) {
            stage = Rest;
            begun = console->frame();
        }
        console->runUntilEmpty(Frames - (console->frame() - begun));
    }
    console->setWatch({}, {});
    out.resumes = std::move(resumes);
    out.frames = console->frame();
    out.endless = !console->isEmpty();
    out.events = console->events();
    for (const ConsoleEvent &e : std::as_const(out.events)) {
        if (isConfigCfgExec(e) && e.parent < 0) {
            out.configStep = e.step;
            break;
        }
    }
    out.state = console->takeState();

    // A server's start files run when it starts a map, after the start-up,
    // each run to its end before the next (the game dll's SERVER_EXECUTE).
    for (const ServerStart &start : input.servers) {
        Console server(input.profile, *input.known, input.find, out.state);
        server.setStop(input.stop);
        const auto source = startSource(start.who + QStringLiteral(" starting a map"));
        for (const QString &name : start.files) {
            server.addText(QStringLiteral("exec %1\n").arg(name), source);
            server.runUntilEmpty(Frames);
        }
        // Once the map is up the engine runs mapchangecfgfile, empty unless a
        // file set it (rehlds engine/sv_main.cpp SV_ActivateServer): servers
        // name server.cfg there to have it run again after game.cfg.
        const ConsoleVariable *mapChange = server.state().variable(QStringLiteral("mapchangecfgfile"));
        if (mapChange && !mapChange->value.isEmpty()) {
            server.addText(QStringLiteral("exec %1\n").arg(mapChange->value), source);
            server.runUntilEmpty(Frames);
        }
        append(out.serverEvents, server.events());
        out.servers.push_back({start, server.takeState()});
    }
    QSet<QString> ran;
    for (const ConsoleEvent &e : std::as_const(out.events)) {
        if (e.kind == ConsoleEvent::Kind::Exec)
            ran.insert(e.path);
    }
    std::vector<ConsoleState> others;
    for (const auto &document : input.documents) {
        if (ran.contains(document->path()))
            continue;
        Console other(input.profile, *input.known, input.find, out.state);
        other.setStop(input.stop);
        other.execFile(document, {startSource(QStringLiteral("an open document")), 0, 0, 0});
        other.runUntilEmpty(Frames);
        append(out.otherEvents, other.events());
        others.push_back(other.takeState());
    }
    if (input.trials && !(input.stop && *input.stop))
        runTrials(out, input, others);
    return out;
}

QString ConsoleStartup::keyText(const QString &binding, int number, bool down, const EngineProfile &profile)
{
    if (profile.engine == EngineProfile::Engine::Original) {
        if (binding.startsWith(u'+'))
            return down ? QStringLiteral("%1 %2\n").arg(binding).arg(number)
                        : QStringLiteral("-%1 %2\n").arg(binding.mid(1)).arg(number);
        return down ? binding + u'\n' : QString();
    }
    // xash3d-fwgs in_keys.c Key_AddKeyCommands: each part up to a ';',
    // blanks and ';' after it skipped.
    QString out;
    for (QString part : binding.split(u';')) {
        part = part.trimmed();
        if (part.isEmpty())
            continue;
        if (part.startsWith(u'+'))
            out += down ? QStringLiteral("%1 %2\n").arg(part).arg(number)
                        : QStringLiteral("-%1 %2\n").arg(part.mid(1)).arg(number);
        else if (down)
            out += part + u'\n';
    }
    return out;
}

ConsoleStartup::KeyRun ConsoleStartup::key(const ConsoleState &state, const QString &key, const EngineProfile &profile,
                                           const KnownCommands &known, const FindConsoleFile &find, int frames)
{
    KeyRun out;
    const ConsoleBind *bind = state.bind(key);
    out.key = bind ? bind->key : key;
    out.runs = bind ? bind->runs : QString();
    out.after = state;
    if (out.runs.isEmpty())
        return out;
    const QStringList heldBefore = state.held();
    Console console(profile, known, find, state);
    console.setTracing(true);
    // The steps say what changed; the state's history stays the start-up's.
    console.setHistory(false);
    Console::Bounds bounds;
    bounds.callsPerFrame = 2000;
    bounds.freezes = 1;
    console.setBounds(bounds);
    auto source = std::make_shared<ConsoleSource>();
    source->kind = ConsoleSource::Kind::Key;
    source->name = out.key;
    const int number = Console::keyNumber(out.key);
    console.addText(keyText(out.runs, number, true, profile), source);
    out.pressFrames = console.runUntilEmpty(frames);
    out.press = console.trace();
    const qsizetype pressSteps = out.press.size();
    // The key is let go once the press has run; what still waits then runs after it.
    const QString up = keyText(out.runs, number, false, profile);
    if (!up.isEmpty())
        console.addText(up, source);
    const int firstRelease = console.frame();
    out.releaseFrames = console.runUntilEmpty(frames);
    out.endless = !console.isEmpty();
    out.release = console.trace().mid(pressSteps);
    for (ConsoleStep &s : out.release)
        s.frame -= firstRelease;
    out.events = console.events();
    out.after = console.takeState();
    for (const QString &held : out.after.held()) {
        if (!heldBefore.contains(held))
            out.heldAfter.append(held);
    }
    return out;
}
