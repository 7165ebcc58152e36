#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

struct ConsoleSource;

// Where a command the console ran came from: a line of a file, or a
// command of an alias body (whose source says who ran the alias), or a key.
struct ConsolePlace
{
    std::shared_ptr<const ConsoleSource> source;
    int line = -1;   // in the source's text, from 0
    int column = 0;
    int length = 0;

    // The file line this place leads back to (through the aliases that ran
    // it); a place in no file gives an empty path.
    struct FileLine
    {
        QString path;
        QString file; // the name exec used
        int line = -1;
        int column = 0;
        int length = 0;
    };
    FileLine fileLine() const;
    // The aliases that ran this place, innermost first.
    QStringList aliases() const;
    // "userconfig.cfg (line 3)", "alias vol_2 (userconfig.cfg, line 3)",
    // "the key F1".
    QString describe() const;
    bool isFile() const;
    bool operator==(const ConsolePlace &other) const;
};

struct ConsoleSource
{
    enum class Kind { File, Alias, Key, Engine };
    Kind kind = Kind::Engine;
    QString path;  // a file's
    QString name;  // the file's name as exec'd, the alias's name, the key's name
    ConsolePlace caller; // the command that ran the alias or exec'd the file
    int exec = -1;       // a file's exec among the run's events
    int depth = 0;       // aliases around it
    // A deep chain of aliases links its caller straight to the place the
    // first alias ran from, so a loop does not keep every call alive.
    ConsolePlace root;   // the first place outside an alias; its source is null for itself
};

// One change of a variable, bind or alias, in the order the console ran them.
struct ConsoleAssignment
{
    enum class Kind { Set, Removed, Cleared }; // Removed: unbind; Cleared: unbindall
    Kind kind = Kind::Set;
    QString value;
    ConsolePlace place;
    qint64 step = 0;
    QString written; // a bind's key as written
};

struct ConsoleVariable
{
    QString name;    // as the catalogue spells it
    QString value;
    std::optional<QString> defaultValue;
    bool saved = false; // written to config.cfg when the game quits
    QList<ConsoleAssignment> history;
};

struct ConsoleBind
{
    QString key;     // KeyNames::canonical
    QString written; // the key as last written
    QString runs;    // the command; empty when free
    QList<ConsoleAssignment> history;
    bool isBound() const { return !runs.isEmpty(); }
};

struct ConsoleAlias
{
    QString name; // as first defined
    QString body; // as the engine stores it, ending in a line break
    QList<ConsoleAssignment> history;
};

// A button command's keys held down (halflife SDK cl_dll/input.cpp kbutton_t).
struct ConsoleButton
{
    int down[2] = {0, 0};
    bool held = false;
};

// Everything the console knows after running something: every variable,
// bind and alias with where each change came from.
struct ConsoleState
{
    QHash<QString, ConsoleVariable> variables; // by lower-case name
    QHash<QString, ConsoleBind> binds;         // by canonical key
    QHash<QString, ConsoleAlias> aliases;      // by lower-case name
    QList<std::pair<QString, QString>> userinfo; // setinfo keys and values, in order
    QHash<QString, ConsoleButton> buttons;     // by name without + or -, lower case

    const ConsoleVariable *variable(const QString &name) const;
    const ConsoleBind *bind(const QString &key) const; // any spelling of a key
    const ConsoleAlias *alias(const QString &name) const;
    // Button names held down, sorted.
    QStringList held() const;
};
