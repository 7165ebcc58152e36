#include "console/Console.h"

#include "config/GameFolder.h"
#include "config/KeyNames.h"
#include "config/KnownCommands.h"
#include "console/ConsoleText.h"

#include <QSet>

#include <algorithm>

namespace {

// Alias sources deeper than this link to the place the first alias ran from.
constexpr int DeepChain = 48;

enum Builtin { None, Exec, Alias, Wait, Bind, Unbind, UnbindAll, Unalias, Setinfo, Plain };

Builtin builtinOf(const QString &name)
{
    static const QHash<QString, Builtin> builtins = {
        {QStringLiteral("exec"), Exec},         {QStringLiteral("alias"), Alias},   {QStringLiteral("wait"), Wait},
        {QStringLiteral("bind"), Bind},         {QStringLiteral("unbind"), Unbind}, {QStringLiteral("unbindall"), UnbindAll},
        {QStringLiteral("unalias"), Unalias},   {QStringLiteral("setinfo"), Setinfo}, {QStringLiteral("echo"), Plain},
        {QStringLiteral("cmd"), Plain},         {QStringLiteral("stuffcmds"), Plain},
    };
    return builtins.value(name, None);
}

const QString ExecCall = QStringLiteral("exec ");

QString joinedFrom(const QStringList &words, qsizetype from)
{
    QString out;
    for (qsizetype i = from; i < words.size(); ++i) {
        if (i > from)
            out += u' ';
        out += words[i];
    }
    return out;
}

} // namespace

ConsoleFile::ConsoleFile(QString path, QString name, QString text, const EngineProfile &profile)
    : m_path(std::move(path)), m_name(std::move(name)), m_text(std::move(text)), m_size(m_text.size()),
      m_profile(profile)
{
    if (m_size + 2 >= profile.bufferSize) {
        if (profile.engine == EngineProfile::Engine::Original)
            m_lines = ConsoleText::fileLines(m_text, m_profile);
        else
            m_whole = std::make_shared<const ConsoleText>(); // never fits: nothing of it runs
        m_text = QString();
    }
}

std::shared_ptr<const ConsoleText> ConsoleFile::whole() const
{
    if (!m_whole)
        m_whole = ConsoleText::file(m_text, m_profile);
    return m_whole;
}

std::shared_ptr<const ConsoleText> ConsoleFile::lines() const
{
    if (!m_lines)
        m_lines = ConsoleText::fileLines(m_text, m_profile);
    return m_lines;
}

Console::Console(const EngineProfile &profile, const KnownCommands &known, FindConsoleFile find, ConsoleState state)
    : m_profile(profile), m_known(known), m_find(std::move(find)), m_state(std::move(state))
{
}

int Console::keyNumber(const QString &key)
{
    // The original engine's key code is closed; Quake's keys.c numbers,
    // which xash3d-fwgs engine/keydefs.h keeps for GoldSrc's configs, give
    // a letter its lower-case character and the named keys these numbers.
    static const QHash<QString, int> named = {
        {"TAB", 9},          {"ENTER", 13},       {"ESCAPE", 27},       {"SPACE", 32},      {"BACKSPACE", 127},
        {"UPARROW", 128},    {"DOWNARROW", 129},  {"LEFTARROW", 130},   {"RIGHTARROW", 131}, {"ALT", 132},
        {"CTRL", 133},       {"SHIFT", 134},      {"F1", 135},          {"F2", 136},        {"F3", 137},
        {"F4", 138},         {"F5", 139},         {"F6", 140},          {"F7", 141},        {"F8", 142},
        {"F9", 143},         {"F10", 144},        {"F11", 145},         {"F12", 146},       {"INS", 147},
        {"DEL", 148},        {"PGDN", 149},       {"PGUP", 150},        {"HOME", 151},      {"END", 152},
        {"KP_HOME", 160},    {"KP_UPARROW", 161}, {"KP_PGUP", 162},     {"KP_LEFTARROW", 163}, {"KP_5", 164},
        {"KP_RIGHTARROW", 165}, {"KP_END", 166},  {"KP_DOWNARROW", 167}, {"KP_PGDN", 168},  {"KP_ENTER", 169},
        {"KP_INS", 170},     {"KP_DEL", 171},     {"KP_SLASH", 172},    {"KP_MINUS", 173},  {"KP_PLUS", 174},
        {"CAPSLOCK", 175},   {"MWHEELDOWN", 239}, {"MWHEELUP", 240},    {"MOUSE1", 241},    {"MOUSE2", 242},
        {"MOUSE3", 243},     {"MOUSE4", 244},     {"MOUSE5", 245},      {"PAUSE", 255},     {"SEMICOLON", ';'},
    };
    if (key.size() == 1)
        return key[0].toLower().unicode();
    return named.value(key.toUpper(), 0);
}

QString Console::aliasBody(const QStringList &words, const EngineProfile &profile)
{
    QString body;
    if (profile.engine == EngineProfile::Engine::Original) {
        // rehlds engine/cmd.cpp Cmd_Alias_f: each word from the third, cut
        // to MAX_CMD_LINE - 2 characters in all, then a space ("if (i != c)"
        // always holds), and a line break at the end.
        for (qsizetype i = 2; i < words.size(); ++i) {
            body += words[i].left(std::max<qsizetype>(0, profile.lineLength - 2 - body.size()));
            body += u' ';
        }
    } else {
        // xash3d-fwgs engine/common/cmd.c Cmd_Alias_f: the words with one space between.
        body = joinedFrom(words, 2).left(profile.lineLength - 2);
    }
    body += u'\n';
    return body;
}

std::shared_ptr<const ConsoleText> Console::bodyText(const QString &body)
{
    auto found = m_bodies.constFind(body);
    if (found != m_bodies.cend())
        return *found;
    if (m_bodies.size() > 4096)
        m_bodies.clear();
    auto text = ConsoleText::text(body, m_profile);
    m_bodies.insert(body, text);
    return text;
}

Console::Kind Console::kindOf(const QString &name) const
{
    const auto cached = m_kinds.constFind(name);
    if (cached != m_kinds.cend())
        return *cached;
    std::optional<CommandFacts> facts = m_known.facts(name);
    Kind kind = !facts ? Kind::None : facts->variable == false ? Kind::Command : Kind::Variable;
    // The game registers its buttons in pairs (halflife SDK cl_dll/input.cpp
    // InitInput: "+attack" and "-attack"); the catalogue lists the "+" half.
    if (!facts && name.startsWith(u'-')) {
        facts = m_known.facts(QString(u'+' + name.mid(1)));
        if (facts && facts->variable == false)
            kind = Kind::Command;
    }
    if (m_kinds.size() > 8192)
        m_kinds.clear();
    m_kinds.insert(name, kind);
    return kind;
}

QString Console::canonicalKey(const QString &written)
{
    // KeyNames looks through its table; a config names the same few keys again and again.
    auto found = m_keyNames.constFind(written);
    if (found == m_keyNames.cend()) {
        if (m_keyNames.size() > 4096)
            m_keyNames.clear();
        found = m_keyNames.insert(written, KeyNames::canonical(written));
    }
    return *found;
}

bool Console::isVariable(const QString &name) const
{
    return m_state.variables.contains(name) || kindOf(name) == Kind::Variable;
}

bool Console::isCommand(const QString &name) const
{
    return kindOf(name) == Kind::Command;
}

void Console::note(ConsoleEvent event)
{
    event.frame = m_frame;
    event.step = m_step;
    m_events.append(std::move(event));
}

void Console::step(ConsoleStep::Kind kind, const ConsoleCommand &command, const ConsolePlace &place, QString change)
{
    if (!m_tracing)
        return;
    ConsoleStep s;
    s.kind = kind;
    s.frame = m_frame;
    s.depth = place.source ? place.source->depth : 0;
    s.command = command.words.join(u' ');
    s.change = std::move(change);
    s.place = place;
    m_trace.append(std::move(s));
}

int Console::execOf(const ConsolePlace &place) const
{
    const ConsoleSource *source = place.source.get();
    while (source) {
        if (source->kind == ConsoleSource::Kind::File)
            return source->exec;
        if (source->kind != ConsoleSource::Kind::Alias)
            return -1;
        source = source->caller.source.get();
    }
    return -1;
}

bool Console::insert(const std::shared_ptr<const ConsoleText> &text, int first, int end, qsizetype size,
                     std::shared_ptr<const ConsoleSource> source, int extra, const ConsolePlace &at,
                     const QString &what)
{
    // rehlds engine/cmd.cpp Cbuf_InsertText ("cursize + addLen >= maxsize")
    // and Cbuf_InsertTextLines ("+ 2"): "overflow", and the text is dropped.
    if (m_size + size + extra >= m_profile.bufferSize) {
        // A loop that keeps overflowing is told once a frame.
        if (m_overflowed.contains(what))
            return false;
        m_overflowed.insert(what);
        ConsoleEvent e;
        e.kind = ConsoleEvent::Kind::Overflow;
        e.place = at;
        e.name = what;
        e.reason = QStringLiteral("%1 characters did not fit the %2 left of the command buffer")
                       .arg(size)
                       .arg(m_profile.bufferSize - m_size);
        note(std::move(e));
        return false;
    }
    if (first < end)
        m_buffer.append({text, std::move(source), first, end, size});
    m_size += size;
    if (first >= end)
        m_size -= size; // nothing to run: what it held goes at once
    return true;
}

void Console::addText(const QString &text, std::shared_ptr<const ConsoleSource> source)
{
    const auto compiled = bodyText(text);
    if (m_size + compiled->size >= m_profile.bufferSize) {
        ConsoleEvent e;
        e.kind = ConsoleEvent::Kind::Overflow;
        e.place = {source, 0, 0, 0};
        e.name = text.trimmed();
        e.reason = QStringLiteral("Cbuf_AddText: overflow");
        note(std::move(e));
        return;
    }
    if (compiled->commands.isEmpty())
        return;
    m_buffer.prepend({compiled, std::move(source), 0, int(compiled->commands.size()), compiled->size});
    m_size += compiled->size;
}

void Console::runFrame()
{
    ++m_frame;
    m_overflowed.clear();
    m_calls = 0;
    m_firstCall.clear();
    execute();
}

int Console::runUntilEmpty(int frames)
{
    int ran = 0;
    while (!m_buffer.isEmpty() && ran < frames && !stopped()) {
        runFrame();
        ++ran;
    }
    return ran;
}

// rehlds engine/cmd.cpp Cbuf_Execute: takes the front command off the
// buffer and runs it until the buffer is empty or a command ran wait.
void Console::execute()
{
    const bool original = m_profile.engine == EngineProfile::Engine::Original;
    while (!m_buffer.isEmpty() && !stopped()) {
        // xash3d-fwgs Cbuf_ExecuteCommandsFromBuffer counts a wait down at
        // the loop's top, while text remains.
        if (!original && m_wait > 0) {
            --m_wait;
            break;
        }
        Slice &front = m_buffer.back();
        const ConsoleCommand &command = front.text->commands[front.next++];
        front.remaining -= command.consumed;
        m_size -= command.consumed;
        // The command is off the buffer before it runs: what it inserts goes
        // in front of the rest.
        if (front.next >= front.end) {
            m_size -= front.remaining;
            const Slice last = std::move(front);
            m_buffer.removeLast();
            run(command, last.source);
        } else {
            // What the command inserts may move the slice or take it off:
            // its text is held while the command runs.
            const auto text = front.text;
            const auto source = front.source;
            run(command, source);
        }
        if (original && m_wait) {
            m_wait = 0;
            break;
        }
    }
}

// A frame runs each alias and file it calls once at least, however long
// the chain (the engine has no bound); only calls of a name again count
// towards the bound, past which the frame never ends.
bool Console::called(const QString &name, const ConsolePlace &place)
{
    if (m_called)
        m_called->insert(name);
    if (!m_firstCall.contains(name)) {
        m_firstCall.insert(name, m_step);
        return true;
    }
    if (++m_calls <= m_bounds.callsPerFrame)
        return true;
    freeze(name, place);
    return false;
}

// What a command of a body or file calls when it runs, by run()'s lookup
// order: "exec name" for a file, an alias's lower-case name, or nothing.
QString Console::callee(const ConsoleCommand &command) const
{
    const bool alias = m_state.aliases.contains(command.name);
    if (m_profile.aliasFirst && alias)
        return command.name;
    const Builtin builtin = builtinOf(command.name);
    if (builtin == Exec && command.words.size() == 2 && !command.words[1].isEmpty()) {
        QString name = command.words[1];
        if (m_profile.execDefaultsCfg && !QStringView(name).mid(name.lastIndexOf(u'/') + 1).contains(u'.'))
            name += QLatin1String(".cfg");
        return ExecCall + name.toLower();
    }
    if (builtin != None || isCommand(command.name))
        return {};
    return alias ? command.name : QString();
}

// The calls that run round to `start` again, found in what the aliases and
// files called in this frame call now (a depth-first walk with a stack of
// its own, so a round of any length fits); empty when there is none.
QStringList Console::round(const QString &start)
{
    struct Visit
    {
        QString node;
        std::shared_ptr<const ConsoleText> text;
        qsizetype next = 0;
    };
    auto textOf = [&](const QString &node) -> std::shared_ptr<const ConsoleText> {
        if (node.startsWith(ExecCall)) {
            const auto file = find(node.mid(ExecCall.size()));
            if (!file)
                return {};
            return file->size() + 2 < m_profile.bufferSize ? file->whole() : file->lines();
        }
        const auto alias = m_state.aliases.constFind(node);
        return alias == m_state.aliases.cend() ? nullptr : ConsoleText::text(alias->body, m_profile);
    };
    QHash<QString, bool> seen; // true while on the stack
    QList<Visit> stack{{start, textOf(start)}};
    seen.insert(start, true);
    while (!stack.isEmpty()) {
        Visit &top = stack.back();
        if (!top.text || top.next >= top.text->commands.size()) {
            seen[top.node] = false;
            stack.removeLast();
            continue;
        }
        const QString next = callee(top.text->commands[top.next++]);
        if (next.isEmpty() || !m_firstCall.contains(next))
            continue;
        const auto found = seen.constFind(next);
        if (found == seen.cend()) {
            seen.insert(next, true);
            stack.append({next, textOf(next)});
        } else if (*found) {
            QStringList out;
            for (qsizetype i = stack.size() - 1; i >= 0; --i) {
                out.prepend(stack[i].node);
                if (stack[i].node == next)
                    break;
            }
            return out;
        }
    }
    return {};
}

// A frame past the bound never ends in the game. The loop is the round of
// calls that leads back to the call at the bound; with none (a chain that
// fans out and calls the same names over and over), the aliases running
// there. Its text is taken off the buffer so the rest of the run can be followed.
void Console::freeze(const QString &node, const ConsolePlace &place)
{
    QStringList calls = round(node);
    const bool loop = !calls.isEmpty();
    if (!loop) {
        const auto kind = node.startsWith(ExecCall) ? ConsoleSource::Kind::File : ConsoleSource::Kind::Alias;
        for (const ConsoleSource *s = place.source.get(); s && s->kind == kind && calls.size() < DeepChain;
             s = s->caller.source.get())
            calls.prepend(kind == ConsoleSource::Kind::File ? ExecCall + s->name.toLower() : s->name.toLower());
        calls.append(node);
    }
    // Told from the call the frame made first.
    const auto first = std::min_element(calls.begin(), calls.end(), [&](const QString &a, const QString &b) {
        return m_firstCall.value(a) < m_firstCall.value(b);
    });
    std::rotate(calls.begin(), first, calls.end());
    ConsoleEvent e;
    e.kind = ConsoleEvent::Kind::Freeze;
    e.execChain = std::all_of(calls.begin(), calls.end(), [](const QString &c) { return c.startsWith(ExecCall); });
    const QSet<QString> names(calls.begin(), calls.end());
    for (const QString &c : std::as_const(calls))
        e.chain.append(c.startsWith(ExecCall) ? c.mid(ExecCall.size()) : c);
    if (loop)
        e.chain.append(e.chain.front());
    e.loop = loop;
    e.place = place;
    e.name = e.chain.front();
    note(std::move(e));
    // Whatever text the loop's aliases and files put in the buffer goes.
    auto inLoop = [&](const ConsoleSource *s) {
        for (int depth = 0; s && depth < DeepChain + 2; ++depth) {
            if ((s->kind == ConsoleSource::Kind::Alias && names.contains(s->name.toLower()))
                || (s->kind == ConsoleSource::Kind::File && names.contains(ExecCall + s->name.toLower())))
                return true;
            s = s->caller.source.get();
        }
        return false;
    };
    for (qsizetype i = m_buffer.size() - 1; i >= 0; --i) {
        if (inLoop(m_buffer[i].source.get())) {
            m_size -= m_buffer[i].remaining;
            m_buffer.removeAt(i);
        }
    }
    // So do the lines still to come of large files in the loop, and of all
    // once the buffer is dropped.
    const bool dropped = ++m_freezes >= m_bounds.freezes;
    for (LineLoop &loop : m_loops) {
        if (dropped || inLoop(loop.source.get()))
            loop.next = loop.lines->lines.size();
    }
    m_calls = 0;
    m_firstCall.clear();
    if (dropped) {
        m_buffer.clear();
        m_size = 0;
    }
}

// rehlds engine/cmd.cpp Cmd_ExecuteString_internal: a command first, then
// an alias, then a variable (Cvar_Command), else the line goes to the
// server; names compared with Q_stricmp. xash3d-fwgs cmd.c
// Cmd_ExecuteStringWithPrivilegeCheck tries the alias first.
void Console::run(const ConsoleCommand &command, const std::shared_ptr<const ConsoleSource> &source)
{
    ++m_step;
    const ConsolePlace place{source, command.line, command.column, command.length};
    const QString &name = command.name;
    const auto found = m_state.aliases.constFind(name);
    const ConsoleAlias *a = found == m_state.aliases.cend() ? nullptr : &*found;
    if (m_profile.aliasFirst && a) {
        runAlias(*a, command, place);
        return;
    }
    const Builtin builtin = builtinOf(name);
    if (builtin == Exec) {
        exec(command, place);
    } else if (builtin == Alias) {
        alias(command, place);
    } else if (builtin == Wait) {
        // rehlds Cmd_Wait_f sets cmd_wait; xash3d-fwgs takes "wait N", at least 1.
        m_wait = 1;
        if (m_profile.waitFrames && command.words.size() > 1)
            m_wait = std::max(1, command.words[1].toInt());
        if (m_tracing)
            step(ConsoleStep::Kind::Wait, command, place,
             m_wait > 1 ? QStringLiteral("the rest waits %1 frames").arg(m_wait)
                        : QStringLiteral("the rest waits for the next frame"));
    } else if (builtin == Bind) {
        bind(command, place);
    } else if (builtin == Unbind) {
        unbind(command, place);
    } else if (builtin == UnbindAll) {
        unbindAll(place);
    } else if (builtin == Unalias && !m_profile.refusesVariableAlias) {
        for (qsizetype i = 1; i < command.words.size(); ++i)
            m_state.aliases.remove(command.words[i].toLower());
        if (m_tracing)
            step(ConsoleStep::Kind::AliasDefined, command, place, QStringLiteral("aliases removed"));
    } else if (builtin == Setinfo) {
        if (command.words.size() == 3) {
            auto &info = m_state.userinfo;
            const auto it = std::find_if(info.begin(), info.end(), [&](const auto &p) {
                return p.first.compare(command.words[1], Qt::CaseInsensitive) == 0;
            });
            if (it != info.end())
                it->second = command.words[2];
            else
                info.append({command.words[1], command.words[2]});
            if (m_tracing)
                step(ConsoleStep::Kind::Variable, command, place,
                 QStringLiteral("setinfo %1 is now \"%2\"").arg(command.words[1], command.words[2]));
        } else {
            if (m_tracing)
                step(ConsoleStep::Kind::Command, command, place, {});
        }
    } else {
        // Each name looked up once: most lines of a config set a variable.
        const Kind kind = kindOf(name);
        auto variable = m_state.variables.end();
        if (builtin == Plain || kind == Kind::Command) {
            if (name.startsWith(u'+') || name.startsWith(u'-'))
                button(command, name.startsWith(u'+'));
            if (m_tracing)
                step(ConsoleStep::Kind::Command, command, place, {});
        } else if (a) {
            runAlias(*a, command, place);
        } else if ((variable = m_state.variables.find(name)) != m_state.variables.end() || kind == Kind::Variable) {
            setVariable(variable, name, command, place);
        } else if (m_tracing) {
            step(ConsoleStep::Kind::Unknown, command, place,
                 QStringLiteral("no command, alias or variable of that name: sent to the server"));
        }
    }
}

void Console::runAlias(const ConsoleAlias &alias, const ConsoleCommand &shown, const ConsolePlace &place)
{
    const QString name = alias.name;
    if (!called(name.toLower(), place)) {
        return;
    }
    auto source = std::make_shared<ConsoleSource>();
    source->kind = ConsoleSource::Kind::Alias;
    source->name = name;
    const ConsoleSource *callerSource = place.source.get();
    const bool callerIsAlias = callerSource && callerSource->kind == ConsoleSource::Kind::Alias;
    source->depth = callerIsAlias ? callerSource->depth + 1 : 1;
    source->root = callerIsAlias ? callerSource->root : place;
    source->caller = source->depth > DeepChain ? source->root : place;
    const auto text = bodyText(alias.body);
    if (m_tracing)
        step(ConsoleStep::Kind::Alias, shown, place, {});
    insert(text, 0, int(text->commands.size()), text->size, std::move(source), 0, place,
           QStringLiteral("alias %1").arg(name));
}

void Console::refuse(ConsoleEvent::Kind kind, const QString &name, const QString &reason,
                     const ConsoleCommand &command, const ConsolePlace &place)
{
    ConsoleEvent e;
    e.kind = kind;
    e.place = place;
    e.name = name;
    e.reason = reason;
    note(std::move(e));
    if (m_tracing)
        step(ConsoleStep::Kind::Refused, command, place, reason);
}

void Console::exec(const ConsoleCommand &command, const ConsolePlace &place)
{
    auto refuse = [&](const QString &name, const QString &reason) {
        this->refuse(ConsoleEvent::Kind::Refused, name, reason, command, place);
    };
    // rehlds engine/cmd.cpp Cmd_Exec_f: usage unless exactly one name.
    if (command.words.size() != 2) {
        refuse(QString(), QStringLiteral("exec takes exactly one file name"));
        return;
    }
    QString name = command.words[1];
    if (name.isEmpty())
        return;
    if (m_profile.execDefaultsCfg && !QStringView(name).mid(name.lastIndexOf(u'/') + 1).contains(u'.'))
        name += QLatin1String(".cfg");
    if (m_profile.engine == EngineProfile::Engine::Original) {
        if (const QString refused = ExecRules::refusal(name); !refused.isEmpty()) {
            refuse(name, refused);
            return;
        }
    }
    const std::shared_ptr<const ConsoleFile> file = find(name);
    if (!file) {
        // Cmd_Exec_f says nothing for names holding autoexec.cfg, userconfig.cfg, ...
        ConsoleEvent e;
        e.kind = ConsoleEvent::Kind::Missing;
        e.place = place;
        e.name = name;
        e.quiet = ExecRules::quietWhenMissing(name);
        note(std::move(e));
        if (m_tracing)
            step(ConsoleStep::Kind::Refused, command, place, QStringLiteral("no such file: nothing runs"));
        return;
    }
    runFile(file, name, place);
}

std::shared_ptr<const ConsoleFile> Console::find(const QString &name)
{
    auto file = m_find ? m_find(name) : nullptr;
    if (!m_looked.contains(name)) {
        m_looked.insert(name);
        m_lookups.append({name, file});
    }
    return file;
}

void Console::setWatch(QSet<QString> paths, Watch watch)
{
    m_watched = std::move(paths);
    m_watch = std::move(watch);
}

void Console::resume(const std::shared_ptr<const ConsoleFile> &file, const QString &name, const ConsolePlace &place)
{
    // As execute() goes on after the exec that ran the file, and each large
    // file's line loop around it after the execute() it was in.
    auto executeOn = [this] {
        if (m_profile.engine == EngineProfile::Engine::Original && m_wait) {
            m_wait = 0;
            return;
        }
        execute();
    };
    runFile(file, name, place);
    executeOn();
    while (!m_loops.isEmpty()) {
        LineLoop &loop = m_loops.back();
        if (loop.next < loop.lines->lines.size()) {
            const ConsoleText::Line &line = loop.lines->lines[loop.next];
            insert(loop.lines, line.first, line.end, line.size, loop.source, 0, loop.place, loop.name);
            ++loop.next;
        }
        runLines();
        executeOn();
    }
}

void Console::execFile(const std::shared_ptr<const ConsoleFile> &file, const ConsolePlace &from)
{
    runFile(file, file->name(), from);
}

void Console::runFile(const std::shared_ptr<const ConsoleFile> &file, const QString &name, const ConsolePlace &place)
{
    // Only at the buffer's own loop can a run be taken up again here.
    if (!m_ran.contains(file->path())) {
        if (m_watch && m_watched.contains(file->path()))
            m_watch(*this, file, name, place);
        m_ran.insert(file->path());
    }
    ConsoleCommand command;
    command.words = QStringList{QStringLiteral("exec"), name};
    if (!called(ExecCall + name.toLower(), place))
        return;
    ConsoleEvent e;
    e.kind = ConsoleEvent::Kind::Exec;
    e.place = place;
    e.name = name;
    e.path = file->path();
    e.parent = execOf(place);
    note(std::move(e));
    auto source = std::make_shared<ConsoleSource>();
    source->kind = ConsoleSource::Kind::File;
    source->path = file->path();
    source->name = name;
    source->caller = place;
    source->exec = int(m_events.size()) - 1;
    if (m_tracing)
        step(ConsoleStep::Kind::Exec, command, place, QStringLiteral("runs %1").arg(file->name()));
    const qsizetype length = file->size();
    if (m_profile.engine != EngineProfile::Engine::Original) {
        // xash3d-fwgs cmd.c Cmd_ExecScript inserts the whole file, or warns
        // of an overflow and runs none of it. (A file with no final line
        // break runs its last line joined to what follows; not followed here.)
        const auto whole = file->whole();
        insert(whole, 0, int(whole->commands.size()), length, std::move(source), 1, place, name);
        return;
    }
    if (m_size + length + 2 < m_profile.bufferSize) {
        const auto whole = file->whole();
        insert(whole, 0, int(whole->commands.size()), whole->size, std::move(source), 0, place, name);
        return;
    }
    // A file that does not fit: before each line Cmd_Exec_f runs the
    // buffer (Cbuf_Execute, "doesn't obey the rule to first execute commands
    // from the file"), then inserts the line alone.
    if (m_loops.size() >= m_bounds.nesting) {
        ConsoleEvent deep;
        deep.kind = ConsoleEvent::Kind::TooDeep;
        deep.place = place;
        deep.name = name;
        note(std::move(deep));
        // Each level is a call of Cmd_Exec_f inside the last, which the
        // game does not survive for long: the lines still to come of every
        // level are not followed (two execs of itself would run 2^24 times).
        for (LineLoop &loop : m_loops)
            loop.next = loop.lines->lines.size();
        return;
    }
    m_loops.append({file->lines(), std::move(source), place, name});
    runLines();
}

// The innermost large file's lines from its next one; the loop is kept as
// data so that a copy of the console holds where each such file is.
void Console::runLines()
{
    const qsizetype level = m_loops.size() - 1;
    while (m_loops[level].next < m_loops[level].lines->lines.size()) {
        execute();
        const LineLoop &loop = m_loops[level];
        if (loop.next >= loop.lines->lines.size())
            break;
        const ConsoleText::Line &line = loop.lines->lines[loop.next];
        insert(loop.lines, line.first, line.end, line.size, loop.source, 0, loop.place, loop.name);
        ++m_loops[level].next;
    }
    m_loops.removeLast();
}

void Console::alias(const ConsoleCommand &command, const ConsolePlace &place)
{
    const QStringList &w = command.words;
    if (w.size() == 1) {
        if (m_tracing)
            step(ConsoleStep::Kind::Command, command, place, {});
        return;
    }
    const QString &name = w[1];
    auto refuse = [&](const QString &reason) {
        this->refuse(ConsoleEvent::Kind::AliasRefused, name, reason, command, place);
    };
    // rehlds engine/cmd.cpp Cmd_Alias_f: "Alias name is too long" at
    // MAX_ALIAS_NAME characters, "Alias name is invalid" for a variable's
    // name, and for a few names in Counter-Strike, Condition Zero and TFC.
    if (name.size() >= m_profile.aliasName) {
        refuse(QStringLiteral("Alias name is too long"));
        return;
    }
    const QString key = name.toLower();
    if (m_profile.refusesVariableAlias && isVariable(key)) {
        refuse(QStringLiteral("Alias name is invalid: %1 is a variable").arg(name));
        return;
    }
    static const QStringList cstrike = {"cl_autobuy", "cl_rebuy", "gl_ztrick", "gl_ztrick_old", "gl_d3dflip"};
    static const QStringList tfc = {"_special", "special"};
    const auto game = m_profile.game;
    if (m_profile.engine == EngineProfile::Engine::Original
        && (((game == EngineProfile::Game::CStrike || game == EngineProfile::Game::CZero) && cstrike.contains(key))
            || (game == EngineProfile::Game::Tfc && tfc.contains(key)))) {
        refuse(QStringLiteral("Alias name is invalid in this game"));
        return;
    }
    const QString body = aliasBody(w, m_profile);
    ConsoleAlias &a = m_state.aliases[key];
    // "Same value on the alias, return".
    if (!a.name.isEmpty() && a.body == body) {
        if (m_tracing)
            step(ConsoleStep::Kind::AliasDefined, command, place, QStringLiteral("alias %1 unchanged").arg(a.name));
        return;
    }
    if (a.name.isEmpty())
        a.name = name.left(m_profile.aliasName - 1);
    a.body = body;
    if (m_history)
        a.history.append({ConsoleAssignment::Kind::Set, body, place, m_step, {}});
    if (m_tracing)
        step(ConsoleStep::Kind::AliasDefined, command, place,
         QStringLiteral("alias %1 now runs %2").arg(a.name, body.trimmed()));
}

void Console::bind(const ConsoleCommand &command, const ConsolePlace &place)
{
    // The engine's Key_Bind_f is closed; xash3d-fwgs engine/client/input/
    // in_keys.c Key_Bind_f keeps Quake's: usage below two words, the key
    // shown with two, else the words from the third joined by spaces.
    const QStringList &w = command.words;
    const QString key = w.size() >= 2 ? canonicalKey(w[1]) : QString();
    if (key.isEmpty() || w.size() == 2) {
        step(key.isEmpty() ? ConsoleStep::Kind::Refused : ConsoleStep::Kind::Command, command, place,
             key.isEmpty() && w.size() >= 2 ? QStringLiteral("\"%1\" isn't a valid key").arg(w[1]) : QString());
        return;
    }
    ConsoleBind &b = m_state.binds[key];
    b.key = key;
    b.written = w[1];
    b.runs = joinedFrom(w, 2);
    if (m_history)
        b.history.append({ConsoleAssignment::Kind::Set, b.runs, place, m_step, w[1]});
    if (m_tracing)
        step(ConsoleStep::Kind::Bind, command, place, QStringLiteral("%1 now runs %2").arg(w[1], b.runs));
}

void Console::unbind(const ConsoleCommand &command, const ConsolePlace &place)
{
    const QStringList &w = command.words;
    const QString key = w.size() == 2 ? canonicalKey(w[1]) : QString();
    if (key.isEmpty()) {
        if (m_tracing)
            step(ConsoleStep::Kind::Refused, command, place, {});
        return;
    }
    ConsoleBind &b = m_state.binds[key];
    b.key = key;
    b.written = w[1];
    b.runs.clear();
    if (m_history)
        b.history.append({ConsoleAssignment::Kind::Removed, {}, place, m_step, w[1]});
    if (m_tracing)
        step(ConsoleStep::Kind::Bind, command, place, QStringLiteral("%1 is now free").arg(w[1]));
}

void Console::unbindAll(const ConsolePlace &place)
{
    for (ConsoleBind &b : m_state.binds) {
        if (!b.isBound())
            continue;
        b.runs.clear();
        if (m_history)
            b.history.append({ConsoleAssignment::Kind::Cleared, {}, place, m_step, b.written});
    }
    // xash3d-fwgs in_keys.c Key_Unbindall_f binds Escape to cancelselect again.
    if (m_profile.engine == EngineProfile::Engine::Xash) {
        ConsoleBind &escape = m_state.binds[QStringLiteral("ESCAPE")];
        escape.key = escape.written = QStringLiteral("ESCAPE");
        escape.runs = QStringLiteral("cancelselect");
        if (m_history)
            escape.history.append({ConsoleAssignment::Kind::Set, escape.runs, place, m_step, escape.key});
    }
    ConsoleCommand shown;
    shown.words = QStringList{QStringLiteral("unbindall")};
    if (m_tracing)
        step(ConsoleStep::Kind::Bind, shown, place, QStringLiteral("every key is now free"));
}

void Console::setVariable(QHash<QString, ConsoleVariable>::iterator it, const QString &key,
                          const ConsoleCommand &command, const ConsolePlace &place)
{
    // rehlds engine/cvar.cpp Cvar_Command: the name alone shows the value;
    // otherwise Cvar_Set(v->name, Cmd_Argv(1)): the first word only.
    if (command.words.size() == 1) {
        if (m_tracing)
            step(ConsoleStep::Kind::Command, command, place, {});
        return;
    }
    if (it == m_state.variables.end()) {
        ConsoleVariable v;
        const std::optional<CommandFacts> facts = m_known.facts(key);
        v.name = facts ? facts->name : command.words[0];
        v.defaultValue = facts ? facts->defaultValue : std::nullopt;
        v.value = v.defaultValue.value_or(QString());
        v.saved = facts && facts->archived == true;
        it = m_state.variables.insert(key, v);
    }
    const QString before = m_tracing ? it->value : QString();
    it->value = command.words[1];
    if (m_history)
        it->history.append({ConsoleAssignment::Kind::Set, it->value, place, m_step, {}});
    if (m_tracing)
        step(ConsoleStep::Kind::Variable, command, place,
         QStringLiteral("%1: %2 → %3").arg(it->name, before.isEmpty() ? QStringLiteral("\"\"") : before, it->value));
}

// halflife SDK cl_dll/input.cpp KeyDown and KeyUp: the key number after the
// name (none typed at the console: -1, and a release then lets go of all);
// a button stays down while either of its two keys holds it.
void Console::button(const ConsoleCommand &command, bool down)
{
    ConsoleButton &b = m_state.buttons[command.name.mid(1)];
    const bool typed = command.words.size() < 2 || command.words[1].isEmpty();
    const int k = typed ? -1 : command.words[1].toInt();
    if (down) {
        if (k == b.down[0] || k == b.down[1])
            return;
        if (!b.down[0])
            b.down[0] = k;
        else if (!b.down[1])
            b.down[1] = k;
        else
            return;
        b.held = true;
        return;
    }
    if (typed) {
        b.down[0] = b.down[1] = 0;
        b.held = false;
        return;
    }
    if (b.down[0] == k)
        b.down[0] = 0;
    else if (b.down[1] == k)
        b.down[1] = 0;
    else
        return;
    if (b.down[0] || b.down[1])
        return;
    b.held = false;
}
