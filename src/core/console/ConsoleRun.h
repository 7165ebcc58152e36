#pragma once

#include "console/Console.h"

#include <QList>
#include <QSet>
#include <QString>

#include <memory>
#include <vector>

// The console just before a file first ran at start-up: the start-up after
// that file changed is taken up again from here, since nothing run before
// read it.
struct ConsoleResume
{
    std::shared_ptr<const Console> console;
    QString path;
    QString name;          // the file as exec named it
    ConsolePlace place;    // the exec
    qsizetype lookups = 0; // the console's lookups before the file's own
    int stage = 0;         // of the start-up, and the frame that stage began at
    int begun = 0;
    std::shared_ptr<const ConsoleSource> start;
};

// A server starting a map: which server, and the files it runs in order.
struct ServerStart
{
    QString who; // "a dedicated server"
    QStringList files;
};

// What that start leaves: every history begins with the start-up's part,
// followed by what the server's files changed.
struct ServerRun
{
    ServerStart start;
    ConsoleState state;
};

// The game's start-up run through the console model: the state it leaves
// (every variable, bind and alias with every change in run order), what it
// met, and what aliases and keys do when run on their own afterwards.
struct ConsoleRun
{
    EngineProfile profile;
    ConsoleState state;
    QList<ConsoleEvent> events;       // the start-up's, in run order
    QList<ConsoleEvent> serverEvents; // a server's start files, run after the start-up
    std::vector<ServerRun> servers;
    QList<ConsoleEvent> otherEvents;  // open documents nothing runs at start-up, each run after it
    QList<ConsoleEvent> trials;       // freezes and overflows of each alias and key run on its own
    QHash<QString, QString> keys;     // each bound key's first frames in a line (KeyTraceText::summary)
    qint64 configStep = -1;           // where the game's config.cfg starts; -1 when it never runs
    int frames = 0;
    bool endless = false;             // still running at the frame bound (a loop with waits)
    // Where to take the start-up up again, in run order, for the watched files.
    std::shared_ptr<const QList<ConsoleResume>> resumes;
    qint64 resumedAt = -1;            // the step this run took up again at; -1: from the start

    // The assignment of `history` that this file line made last, or null.
    static const ConsoleAssignment *at(const QList<ConsoleAssignment> &history, const QString &path, int line);
};

namespace ConsoleStartup {

// Frames the start-up may take before it counts as running for ever.
inline constexpr int Frames = 600;

struct Input
{
    EngineProfile profile;
    const KnownCommands *known = nullptr;
    // The folder's files by the name exec gives; the game's own valve.rc
    // and config.cfg stand in where the folder has none.
    FindConsoleFile find;
    QList<ServerStart> servers; // the ways a server of this folder starts a map
    QList<std::shared_ptr<const ConsoleFile>> documents; // open documents, run after the start-up unless it ran them
    bool trials = true;
    // Files whose first run is kept in `resumes`, and those of an earlier run:
    // the latest that everything found before it still matches is taken up again.
    QSet<QString> watch;
    std::shared_ptr<const QList<ConsoleResume>> resumes;
    const std::atomic<bool> *stop = nullptr; // set: the run ends soon, unfinished
};

// rehlds engine/host.cpp Host_Init inserts "exec valve.rc"; sys_engine.cpp
// ForceReloadProfile adds "exec config.cfg" and "+mlook" and runs the
// buffer. xash3d-fwgs engine/common/host.c runs valve.rc, then config.cfg
// unless something exec'd it.
ConsoleRun run(const Input &input);

// What the key does pressed and let go in this state (the trace on).
struct KeyRun
{
    QString key;
    QString runs;
    QList<ConsoleStep> press;
    QList<ConsoleStep> release;
    QList<ConsoleEvent> events;
    QStringList heldAfter;    // buttons the key leaves held after its release
    int pressFrames = 0;      // frames the press keeps running
    int releaseFrames = 0;
    bool endless = false;     // still running at the bound
    ConsoleState after;
};
KeyRun key(const ConsoleState &state, const QString &key, const EngineProfile &profile, const KnownCommands &known,
           const FindConsoleFile &find, int frames = 32);

// Commands a key's press or release adds to the buffer: Quake's keys.c
// Key_Event, which the original engine descends from, appends the key
// number to a binding starting with '+' and on release runs its '-' form;
// xash3d-fwgs in_keys.c Key_AddKeyCommands does so for each ';' part.
QString keyText(const QString &binding, int number, bool down, const EngineProfile &profile);

} // namespace ConsoleStartup
