#pragma once

#include "console/ConsoleState.h"
#include "console/EngineProfile.h"

#include <QHash>
#include <QSet>
#include <QList>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class KnownCommands;
struct ConsoleCommand;
struct ConsoleText;

// A file the console can exec: its text, read into commands once for as
// long as the text stays the same.
class ConsoleFile
{
public:
    // A file too large for the buffer is read line by line at once, and
    // its text is not kept.
    ConsoleFile(QString path, QString name, QString text, const EngineProfile &profile);

    const QString &path() const { return m_path; }
    const QString &name() const { return m_name; }
    qsizetype size() const { return m_size; }
    // The whole file as one insert; line by line when it does not fit.
    std::shared_ptr<const ConsoleText> whole() const;
    std::shared_ptr<const ConsoleText> lines() const;

private:
    QString m_path;
    QString m_name;
    QString m_text;
    qsizetype m_size = 0;
    EngineProfile m_profile;
    mutable std::shared_ptr<const ConsoleText> m_whole;
    mutable std::shared_ptr<const ConsoleText> m_lines;
};

// The file `exec name` opens, or null when there is none.
using FindConsoleFile = std::function<std::shared_ptr<const ConsoleFile>(const QString &name)>;

// One command the console ran, for following a key or a script step by step.
struct ConsoleStep
{
    enum class Kind { Command, Alias, Variable, Bind, AliasDefined, Exec, Wait, Unknown, Refused, Overflow, Freeze };
    Kind kind = Kind::Command;
    int frame = 0;
    int depth = 0;   // aliases around it
    QString command; // its words as the console read them
    QString change;  // what it changed, in plain words; empty when nothing
    ConsolePlace place;
};

// What a run met that the player should hear of.
struct ConsoleEvent
{
    enum class Kind {
        Exec,        // a file ran (`parent` is the exec whose file ran this one)
        Missing,     // exec found no file; `quiet` when the game says nothing
        Refused,     // exec refused the name
        AliasRefused,
        Overflow,    // text did not fit the buffer and was dropped
        Freeze,      // a frame that never ends: `chain` runs round
        TooDeep,     // files exec'd inside large files nest deeper than the bound
        Unknown,     // no command, alias or variable: sent to the server
    };
    Kind kind = Kind::Exec;
    ConsolePlace place; // the command that met it
    QString name;       // the file or alias, or the word
    QString path;       // the file found
    QString reason;
    QStringList chain;  // a freeze's aliases or files (a loop's round to the first again)
    bool quiet = false;
    bool execChain = false; // the chain is of files
    // The chain leads round to its first; else it fans out, and is the
    // calls that were running when the bound was reached.
    bool loop = true;
    int parent = -1;
    int frame = 0;
    qint64 step = 0;
};

// The engine's console: one command buffer that text is added to at the
// end or inserted into at the front, run frame by frame as rehlds
// engine/cmd.cpp Cbuf_Execute runs it, each command looked up as
// Cmd_ExecuteString does, with a state of every variable, bind and alias
// and where each change came from. A run that never ends is cut at a
// bound and reported with the loop that causes it.
class Console
{
public:
    struct Bounds
    {
        int callsPerFrame = 10000; // aliases and execs run again in one frame before it counts as frozen
        int nesting = 24;          // files run inside large files' line loops
        int freezes = 8;           // freezes reported before the buffer is dropped
    };

    Console(const EngineProfile &profile, const KnownCommands &known, FindConsoleFile find,
            ConsoleState state = {});

    void setBounds(const Bounds &bounds) { m_bounds = bounds; }
    void setFind(FindConsoleFile find) { m_find = std::move(find); }
    // Before a file of `paths` first runs, `watch` is given the console as it stands: a copy taken then can
    // resume() once the file changed, as nothing run before read it.
    using Watch = std::function<void(const Console &before, const std::shared_ptr<const ConsoleFile> &file,
                                     const QString &name, const ConsolePlace &place)>;
    void setWatch(QSet<QString> paths, Watch watch);
    // Runs the file a watched console was about to run, then the rest of that frame.
    void resume(const std::shared_ptr<const ConsoleFile> &file, const QString &name, const ConsolePlace &place);
    // The file exec opens by this name, kept among the lookups.
    std::shared_ptr<const ConsoleFile> find(const QString &name);
    // Every name looked up so far, once each in order, with what it gave:
    // a run that finds the same gives the same.
    using Lookup = std::pair<QString, std::shared_ptr<const ConsoleFile>>;
    const QList<Lookup> &lookups() const { return m_lookups; }
    // Record each command run (for a key's steps); off by default.
    void setTracing(bool on) { m_tracing = on; }
    // Keep every change in the state's history; on by default.
    void setHistory(bool on) { m_history = on; }
    // Stops running once the flag is set (an analysis cancelled on another thread).
    void setStop(const std::atomic<bool> *stop) { m_stop = stop; }
    // Every alias and file name called goes into `called` as well.
    void collectCalls(QSet<QString> *called) { m_called = called; }
    bool stopped() const { return m_stop && m_stop->load(std::memory_order_relaxed); }

    // rehlds engine/cmd.cpp Cbuf_AddText: at the end, dropped when it does not fit.
    void addText(const QString &text, std::shared_ptr<const ConsoleSource> source);
    // Runs a file as "exec" would once it found it (an open document
    // that nothing execs).
    void execFile(const std::shared_ptr<const ConsoleFile> &file, const ConsolePlace &from);
    // One frame: Cbuf_Execute until the buffer is empty or a wait.
    void runFrame();
    // Frames until the buffer is empty, at most `frames`; the frames run.
    int runUntilEmpty(int frames);
    bool isEmpty() const { return m_buffer.isEmpty(); }
    int frame() const { return m_frame; }
    qint64 steps() const { return m_step; }

    const ConsoleState &state() const { return m_state; }
    ConsoleState takeState() { return std::move(m_state); }
    const QList<ConsoleEvent> &events() const { return m_events; }
    const QList<ConsoleStep> &trace() const { return m_trace; }
    const EngineProfile &profile() const { return m_profile; }

    // A key's number as the engine appends it to a "+" command (Quake's
    // key numbers, which GoldSrc kept: xash3d-fwgs engine/keydefs.h).
    static int keyNumber(const QString &canonicalKey);
    // rehlds engine/cmd.cpp Cmd_Alias_f's stored body for these words (from the third).
    static QString aliasBody(const QStringList &words, const EngineProfile &profile);

private:
    struct Slice
    {
        std::shared_ptr<const ConsoleText> text;
        std::shared_ptr<const ConsoleSource> source;
        int next = 0;
        int end = 0;
        qsizetype remaining = 0;
    };
    bool insert(const std::shared_ptr<const ConsoleText> &text, int first, int end, qsizetype size,
                std::shared_ptr<const ConsoleSource> source, int extra, const ConsolePlace &at, const QString &what);
    void execute();
    void run(const ConsoleCommand &command, const std::shared_ptr<const ConsoleSource> &source);
    void runAlias(const ConsoleAlias &alias, const ConsoleCommand &command, const ConsolePlace &place);
    void exec(const ConsoleCommand &command, const ConsolePlace &place);
    void runFile(const std::shared_ptr<const ConsoleFile> &file, const QString &name, const ConsolePlace &place);
    void runLines();
    void alias(const ConsoleCommand &command, const ConsolePlace &place);
    void bind(const ConsoleCommand &command, const ConsolePlace &place);
    void unbind(const ConsoleCommand &command, const ConsolePlace &place);
    void unbindAll(const ConsolePlace &place);
    // `it`: the variable's entry, or the end when it has none yet.
    void setVariable(QHash<QString, ConsoleVariable>::iterator it, const QString &key, const ConsoleCommand &command,
                     const ConsolePlace &place);
    void button(const ConsoleCommand &command, bool down);
    // `name`: an alias's in lower case, or "exec " and a file's.
    bool called(const QString &name, const ConsolePlace &place);
    QString callee(const ConsoleCommand &command) const;
    QStringList round(const QString &start);
    void freeze(const QString &node, const ConsolePlace &place);
    void step(ConsoleStep::Kind kind, const ConsoleCommand &command, const ConsolePlace &place, QString change);
    void note(ConsoleEvent event);
    // A command the engine turned down: told as an event, and in a trace.
    void refuse(ConsoleEvent::Kind kind, const QString &name, const QString &reason, const ConsoleCommand &command,
                const ConsolePlace &place);
    int execOf(const ConsolePlace &place) const;
    enum class Kind { Command, Variable, None };
    Kind kindOf(const QString &name) const; // by the catalogue, the name in lower case
    bool isVariable(const QString &name) const;
    QString canonicalKey(const QString &written);
    bool isCommand(const QString &name) const;
    std::shared_ptr<const ConsoleText> bodyText(const QString &body);

    EngineProfile m_profile;
    const KnownCommands &m_known;
    FindConsoleFile m_find;
    ConsoleState m_state;
    Bounds m_bounds;
    const std::atomic<bool> *m_stop = nullptr;
    bool m_tracing = false;
    bool m_history = true;

    QList<Slice> m_buffer; // its front is the list's back
    qsizetype m_size = 0;
    int m_wait = 0;
    int m_frame = 0;
    // The large files whose lines are being inserted one by one, outermost first.
    struct LineLoop
    {
        std::shared_ptr<const ConsoleText> lines;
        std::shared_ptr<const ConsoleSource> source;
        ConsolePlace place;
        QString name;
        qsizetype next = 0; // the line inserted once the buffer has run
    };
    QList<LineLoop> m_loops;
    qint64 m_step = 0;
    int m_calls = 0;      // this frame's calls of a name again
    int m_freezes = 0;
    QHash<QString, qint64> m_firstCall; // this frame's calls: the step of each name's first
    QSet<QString> *m_called = nullptr;
    QHash<QString, std::shared_ptr<const ConsoleText>> m_bodies;
    mutable QHash<QString, Kind> m_kinds;
    QSet<QString> m_overflowed; // this frame's
    QHash<QString, QString> m_keyNames; // key as written -> KeyNames::canonical
    QList<ConsoleEvent> m_events;
    QList<ConsoleStep> m_trace;
    QList<Lookup> m_lookups;
    QSet<QString> m_looked;
    QSet<QString> m_watched;
    QSet<QString> m_ran; // paths of the files run
    Watch m_watch;
};
