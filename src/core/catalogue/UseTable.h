#pragma once

#include "settings/Result.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <utility>

struct Catalogue;

// How often real config files use each command name, counted as the game's
// console runs them (see ConsoleScript), leaving out the names each file
// defines itself with alias.
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

// The share of uses whose name has an entry of its own (exact letter case).
struct Coverage
{
    qint64 uses = 0;
    qint64 covered = 0;
    // Names without an entry, most used first.
    QList<std::pair<QString, qint64>> uncovered;

    double share() const { return uses ? double(covered) / double(uses) : 1.0; }
};

Coverage coverageOf(const UseTable &table, const Catalogue &catalogue);
