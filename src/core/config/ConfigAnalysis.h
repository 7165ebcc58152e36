#pragma once

#include "config/ConfigFile.h"
#include "config/GameFolder.h"
#include "config/ProblemRules.h"
#include "console/EngineProfile.h"
#include "settings/Result.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <atomic>
#include <memory>
#include <optional>

class ConsoleFile;
class KnownCommands;
struct ConsoleEvent;
struct ConsoleResume;
struct ConsoleRun;
struct ServerStart;
struct ConsolePlace;

// One problem of the configuration, in the file it is in.
struct ConfigProblem
{
    QString path;
    int line = 0; // from 0
    int column = 0;
    int length = 0;
    QString message;
    ProblemRule rule = ProblemRule::UnknownName;
    QString name; // the name a rule about names is about, as written
    // Whose such a name is ("GunGame, an AMX Mod X plugin"; "config.cfg" for
    // the saved variables the game wrote there): the panel shows such
    // notices in one line per owner.
    QString whose;
    ProblemWeight weight() const { return ProblemRules::weight(rule); }
    QString code() const { return ProblemRules::code(rule); }
    bool operator==(const ConfigProblem &) const = default;
};

// A file the game runs, in the order it runs them.
struct StartupFile
{
    QString name;        // as the game names it: "autoexec.cfg"
    QString path;        // empty for the game's own valve.rc or config.cfg, when the folders hold none
    int depth = 0;       // 0 for a start file, 1 for a file it execs, ...
    int parent = -1;     // the file whose exec runs this one
    int execLine = -1;   // that exec's line in the parent
    // False for a server's start files and an open document nothing in the
    // start-up order runs, and for what they exec.
    bool atStartup = true;
    bool onServer = false; // run when a server starts a map
    int settings = 0;
    int binds = 0;
    int aliases = 0;
    int problems = 0;
    bool operator==(const StartupFile &) const = default;
};

// An alias as some file of the configuration defines it.
struct AliasSite
{
    QString name;
    QString body;
    QString path;
    QString file; // the file's name in the start-up order
    int line = 0;
    bool operator==(const AliasSite &) const = default;
};

// The configuration of a game folder as a whole: the files in the order the
// game runs them, their problems, and what applies at start-up.
class ConfigModel
{
public:
    QString folder;
    QList<StartupFile> files;
    QList<ConfigProblem> problems; // in run order of their files, then by line

    // The first definition of an alias in run order, any letter case.
    std::optional<AliasSite> alias(QStringView name) const;
    // "alias +jd: +jump; wait; -jump (userconfig.cfg, line 3)".
    QString aliasExplanation(QStringView name) const;

    // What the game ends up with at start-up for the variable set on this
    // line of this file, or empty when the line sets no such variable.
    // `valueNow`: the value the line holds now, when the text has changed
    // since the analysis.
    QString valueHint(const QString &path, int line, QStringView name, QStringView valueNow = {}) const;
    // The same for the key bound on this line.
    QString bindHint(const QString &path, int line, QStringView key) const;

    // The index in `files` of the file at `path`, or -1.
    int fileIndex(const QString &path) const;

    // "config.cfg (line 14)", `line` counted from 0.
    static QString where(const QString &file, int line);

    // The start-up as the console model ran it: the state it leaves, with
    // every assignment in run order and where it came from.
    std::shared_ptr<const ConsoleRun> console;
    EngineProfile profile;

    bool operator==(const ConfigModel &other) const;

private:
    friend class ConfigAnalyzer;
    // What each file of the run says, by path (the game's own files by name).
    QHash<QString, std::shared_ptr<const ConfigFile>> m_facts;
    // Aliases the start-up leaves undefined, by their first definition in the files' order.
    QHash<QString, AliasSite> m_otherAliases; // by lower-case name
    // "config.cfg (line 3)", or "line 3" in the file asked about.
    QString whereSet(const ConsolePlace &place, const QString &here) const;
    QString serverValueHint(const QString &head, const QString &key, const QString &path, int line) const;
};

// A path as the analysis keeps it: absolute and clean.
QString configPath(const QString &path);

// The text the window shows while the game folder's config.cfg is open,
// or empty for any other file.
QString configCfgNotice(const GameFolder &folder, const QString &path);

// Analyses a game folder again and again as its files change, reading a
// file anew only when its text changed. Open documents take part with the
// text they hold, unsaved changes included. One thread at a time.
class ConfigAnalyzer
{
public:
    ConfigAnalyzer(GameFolder folder, const KnownCommands &known);

    const GameFolder &folder() const { return m_folder; }

    // Names the player declared fine for this folder: no problem is said
    // about them. Letter case is ignored.
    void setAcceptedNames(const QStringList &names);

    // The text of an open document, which replaces the file on disk.
    void setDocument(const QString &path, const QString &text);
    void closeDocument(const QString &path);

    ConfigModel analyze();
    // Whether an analysis now would give what the last finished one gave:
    // no document, accepted name or engine changed since, and each file
    // that one looked for on disk is still where and as it was.
    bool upToDate() const;

    // Ends an analysis under way on another thread soon (the window closes,
    // the program is told to end); this and every later analysis give an
    // unfinished model, which nobody should use.
    void cancel() { m_cancelled = true; }
    bool cancelled() const { return m_cancelled; }

    // The engine the folder's game runs on; the original by default.
    void setProfile(const EngineProfile &profile);
    const EngineProfile &profile() const { return m_profile; }

private:
    // One look at the disk an analysis took, and what it saw.
    struct DiskLook
    {
        enum class Kind { Locate, Find, Regular };
        Kind kind = Kind::Locate;
        QString name;
        QString path;
        QDateTime modified;
        qint64 size = -1;
        QString error;
        bool operator==(const DiskLook &) const = default;
    };
    // `found`: what the file system said, for a Locate.
    DiskLook look(DiskLook::Kind kind, const QString &name, QFileInfo *found = nullptr) const;
    // What one analysis builds up as it goes.
    struct Run
    {
        ConfigModel model;
        QList<ConfigProblem> problems;
        QSet<QString> readErrors;
        // What each name exec gives opens, looked up once a run (a loop execs thousands of times).
        QHash<QString, std::shared_ptr<const ConsoleFile>> found;
        // Aliases of open files nothing runs, known only in their own file and
        // what it execs: by the index of that open file.
        QHash<int, QSet<QString>> ownAliases;
        QHash<QString, DiskLook> looks; // by kind and name
    };
    QFileInfo locate(Run &run, const QString &name) const;
    QString find(Run &run, const QString &name) const;
    Status regularFile(Run &run, const QString &path) const;
    std::shared_ptr<const ConsoleFile> consoleFile(Run &run, const QString &name);
    std::shared_ptr<const ConsoleFile> lookUp(Run &run, const QString &name);
    QList<ServerStart> serverStarts(Run &run) const;
    void listFiles(Run &run, const QList<ConsoleEvent> &events, bool atStartup, bool onServer);
    void otherAliases(Run &run) const;
    void fileProblems(Run &run);
    void runProblems(Run &run) const;
    void keysBoundTwice(Run &run) const;
    void replaced(Run &run) const;
    void refusedAliases(Run &run) const;
    static void sortProblems(Run &run);

    struct Entry
    {
        std::shared_ptr<const ConfigFile> facts;
        std::shared_ptr<const ConsoleFile> console;
        QString error;
        QDateTime modified;
        qint64 size = -1;
        bool document = false;
        bool stale = true;
        QString text; // a document's text until it is read
    };
    std::shared_ptr<const ConfigFile> factsFor(const QFileInfo &file, QString &error);
    void readEntry(Entry &entry, const QString &text);
    QStringList nearest(const QString &name, const ConfigModel &model);
    ConfigProblem unknownName(const ConfigFile::Use &use, const QString &path, const ConfigModel &model,
                              bool writtenByGame, const QSet<QString> &savedNames);

    GameFolder m_folder;
    const KnownCommands &m_known;
    QHash<QString, Entry> m_entries;
    QHash<QString, QStringList> m_nearestKnown;
    // The same with this analysis's aliases, once a name: a large file
    // uses one unknown name thousands of times, and may define thousands of aliases.
    QHash<QString, QStringList> m_nearestThisRun;
    QStringList m_aliasesThisRun; // sorted, made at the first name asked about
    QSet<QString> m_accepted; // lower case
    QStringList m_knownNames;
    EngineProfile m_profile;
    std::shared_ptr<const ConfigFile> m_defaultRc;
    std::shared_ptr<const ConfigFile> m_defaultConfig;
    std::atomic<bool> m_cancelled{false};
    std::shared_ptr<const ConsoleFile> m_defaultRcConsole;
    std::shared_ptr<const ConsoleFile> m_defaultConfigConsole;
    std::shared_ptr<const QList<ConsoleResume>> m_resumes; // the last start-up's
    bool m_changed = true; // since the last finished analysis
    QHash<QString, DiskLook> m_looks; // the last finished analysis's
};
