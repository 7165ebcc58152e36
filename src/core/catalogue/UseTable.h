#pragma once

#include "settings/Result.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <utility>

struct Catalogue;

// How often real config files use each command name, counted as the game's
// console runs them (see ConsoleScript), leaving out the names the files
// define themselves with alias.
class UseTable
{
public:
    struct Name
    {
        qint64 count = 0;   // uses as a command name
        int files = 0;      // files that use it
        qint64 textValues = 0; // uses whose first argument is not a number
        QStringList values; // the numeric first arguments seen, as written, each once

        bool operator==(const Name &) const = default;
    };

    // Counts one config file.
    void addFile(QStringView script);
    // Counts the files of one game folder: they run in one console, so an
    // alias defined in any of them is the folder's own wherever it is used
    // (letter case aside, as Cmd_ExecuteString finds aliases). Returns how
    // many uses of those aliases it left out.
    qint64 addFolder(const QStringList &scripts);
    // Adds the counts of another table, as if its files were counted here.
    void add(const UseTable &other);

    const QMap<QString, Name> &names() const { return m_names; }
    qint64 uses() const;

    // A tab-separated table, most used first: name, count, values (space
    // separated), files, text. Lines starting with '#' are comments.
    QByteArray toTsv() const;
    static Result<UseTable> fromTsv(const QByteArray &tsv, const QString &sourceName);

    bool operator==(const UseTable &) const = default;

private:
    QMap<QString, Name> m_names;
};

// Which names the catalogue sets out to explain. A token that cannot be a
// command name is left out, and so is a name of a third-party plugin, tool,
// bot or replacement engine or game dll that a readable list gives.
class CoverageScope
{
public:
    // A command name: an optional '+' or '-', then an ASCII letter or '_',
    // then only ASCII letters, digits, '_' and '.'. Separator lines written
    // without "//" ("=====", echo"####") and chat text are not names.
    static bool isName(QStringView token);

    // The list: '#' comments, "[Project]" starting each project's group,
    // then one name a line, or a prefix ending in '*' ("amx_*").
    static Result<CoverageScope> fromText(const QByteArray &text, const QString &sourceName);

    // The third-party project a name belongs to, or empty for the game's own.
    QString projectOf(const QString &name) const;

private:
    QHash<QString, QString> m_names;
    QList<std::pair<QString, QString>> m_prefixes; // prefix, project
};

// The share of uses whose name has an entry of its own (exact letter case),
// of all uses and of the uses inside the catalogue's scope.
struct Coverage
{
    qint64 uses = 0;
    qint64 covered = 0;
    qint64 notNames = 0;       // uses of tokens that cannot be a name
    qint64 outOfScope = 0;     // uses of third-party names
    qint64 coveredInScope = 0;
    // Names without an entry, most used first; those the scope leaves out
    // are in the lists below instead.
    QList<std::pair<QString, qint64>> uncovered;
    QList<std::pair<QString, qint64>> uncoveredNotNames;
    QList<std::pair<QString, qint64>> uncoveredOutOfScope;

    double share() const { return uses ? double(covered) / double(uses) : 1.0; }
    qint64 usesInScope() const { return uses - notNames - outOfScope; }
    double shareInScope() const { return usesInScope() ? double(coveredInScope) / double(usesInScope()) : 1.0; }
};

Coverage coverageOf(const UseTable &table, const Catalogue &catalogue, const CoverageScope &scope = {});
