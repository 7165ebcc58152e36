#pragma once

#include "config/ProblemRules.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

class KnownCommands;

// What one config says, read from its text alone: the problems the text
// shows by itself, and what the analysis across files needs (exec lines,
// aliases, settings, binds, names nothing known defines). Lines and columns
// count from 0; a line ends at a line feed. `command` numbers the file's
// commands in the order the game runs them, for ordering across files.
struct ConfigFile
{
    struct Problem
    {
        int line = 0;
        int column = 0;
        int length = 0;
        QString message;
        ProblemRule rule = ProblemRule::UnknownName;
        bool operator==(const Problem &) const = default;
    };
    struct Exec
    {
        QString name;
        int line = 0;
        int column = 0;
        int length = 0;
        int command = 0;
        bool atTop = true; // run by the file itself, not inside a bind or alias
        bool operator==(const Exec &) const = default;
    };
    struct Alias
    {
        QString name;
        QString key; // the name in lower case
        QString body;
        int line = 0;
        int column = 0; // of the name
        int length = 0;
        int command = 0;
        bool nested = false; // defined inside another alias's or a bind's body
        QStringList calls;   // the first word of each command of the body, lower case
        bool waits = false;  // the body runs wait
        bool operator==(const Alias &) const = default;
    };
    struct Setting
    {
        QString name;
        QString value;
        int line = 0;
        int column = 0; // the name's place
        int length = 0;
        int command = 0;
        std::optional<bool> archived; // the game saves it to config.cfg on exit
        bool operator==(const Setting &) const = default;
    };
    struct Bind
    {
        enum class Kind { Bind, Unbind, UnbindAll };
        Kind kind = Kind::Bind;
        QString key;     // KeyNames::canonical
        int code = -1;   // KeyNames::code
        QString written; // the key as written
        QString runs;    // the command the key runs
        int line = 0;
        int column = 0;
        int length = 0;
        int command = 0;
        bool operator==(const Bind &) const = default;
    };
    struct Use
    {
        QString name; // as written
        int line = 0;
        int column = 0;
        int length = 0;
        bool operator==(const Use &) const = default;
    };

    QList<Problem> problems;
    QList<Exec> execs;
    QList<Alias> aliases;
    // Each name the file aliases: its first definition and how many it has.
    struct AliasName
    {
        QString key;
        int first = 0;
        int count = 0;
        bool operator==(const AliasName &) const = default;
    };
    QList<AliasName> aliasNames;
    // Each setting by its lower-case name, in order.
    QHash<QString, QList<Setting>> settings;
    int settingCount = 0;
    QList<Bind> binds;
    // Names the known commands lack: unknown unless some file aliases them.
    QList<Use> unknown;

    bool operator==(const ConfigFile &) const = default;

    // Reads a config's text as the game's console reads it.
    static ConfigFile read(QStringView text, const KnownCommands &known);
};

// The limits the game reads a command with (rehlds engine/cmd.h).
namespace ConsoleLimits {
// MAX_CMD_LINE 1024: Cbuf_Execute copies at most 1023 characters of a command.
inline constexpr int CommandLength = 1023;
// MAX_CMD_TOKENS 80: Cmd_TokenizeString stops once it holds 80 words.
inline constexpr int Words = 80;
// MAX_ALIAS_NAME 32 (APIProxy.h): Cmd_Alias_f refuses a name of 32 characters or more.
inline constexpr int AliasName = 31;
} // namespace ConsoleLimits
