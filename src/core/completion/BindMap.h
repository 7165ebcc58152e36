#pragma once

#include "completion/FileFacts.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

#include <functional>
#include <memory>

class ConfigModel;
class KnownCommands;
struct ConfigFile;
struct ConsoleState;

// The keyboard's binds as the game ends up with them at start-up: each key
// with every bind of it in the order the game runs them, the file and line
// of each, the one that wins, and the kind of command it runs.
class BindMap
{
public:
    enum class Kind { Movement, Weapons, Communication, Scripts, Other };

    struct Bind
    {
        QString written; // the key as written
        QString runs;    // empty for unbind
        QString path;
        QString file;    // as the start-up order names it
        int line = 0;    // from 0
        bool unbind = false;
        bool all = false; // unbindall, which freed this key among all
        bool operator==(const Bind &) const = default;
    };

    struct Key
    {
        QString key;        // KeyNames::canonical
        QList<Bind> binds;  // in run order
        int winner = -1;    // the bind in force at the end; -1: the key ends free
        Kind kind = Kind::Other;
        QString label;      // the winner's first command, cut to a dozen letters

        bool isFree() const { return winner < 0; }
        // Bound to more than one command in the run.
        bool conflict() const;
        bool operator==(const Key &) const = default;
    };

    // The binds of the console's state: each key's history as it ran.
    // `isAlias` says whether a name is an alias of the configuration.
    static BindMap build(const ConsoleState &state, const std::function<bool(QStringView)> &isAlias);

    // The key by its canonical name, or null when nothing binds it.
    const Key *key(QStringView canonical) const;
    const QList<Key> &keys() const { return m_keys; }

    static Kind kindOf(QStringView runs, const std::function<bool(QStringView)> &isAlias);
    // "attack" for "+attack", a long name cut to a few letters.
    static QString label(QStringView runs);
    // Every bind in order, the winner named; for a key's tooltip.
    static QString history(const Key &key);
    // "F1: bound to +attack (autoexec.cfg, line 3)" or "F1: free".
    static QString describe(const QString &keyName, const Key *key);

    bool operator==(const BindMap &) const = default;

private:
    QList<Key> m_keys; // by key name
    QHash<QString, int> m_index;
};

// Builds the map of a configuration again after each analysis, reading
// a file's binds anew only when its text changed.
class BindMapBuilder
{
public:
    using TextOf = FileFacts::TextOf;

    explicit BindMapBuilder(const KnownCommands &known) : m_known(known), m_facts(known) {}

    // The binds the console model leaves at start-up (`textOf` is kept for
    // the completion's callers; the model has the texts).
    BindMap build(const ConfigModel &model, const TextOf &textOf = {});
    // A document standing alone, run through the console on its own.
    BindMap build(const QString &path, const QString &text);

    FileFacts &facts() { return m_facts; }

private:
    const KnownCommands &m_known;
    FileFacts m_facts;
};
