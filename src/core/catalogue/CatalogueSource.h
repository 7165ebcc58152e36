#pragma once

#include "settings/Result.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

struct Catalogue;

// One entry of the command catalogue, its six fields in record order.
struct CatalogueEntry
{
    QString name;
    QString field2;
    QString range;
    QString field4;
    QString text;
    QString note;

    bool operator==(const CatalogueEntry &) const = default;
};

// The readable source of commands.dat (data/catalogue/*.txt): UTF-8, one
// block of "key: value" lines per entry, blocks separated by blank lines,
// lines starting with '#' ignored. Keys: name, family (field 2), kind and
// flags (field 4), range, text, note; name, family and kind are required.
// One space after the colon is dropped, the rest of the line is the value
// as written. "verified:" lines (one per reading of the sources) and a
// "pending:" line (the entry awaits its second reading) are read and not
// compiled.
namespace CatalogueSource {

// How often an entry's facts were read in the sources.
struct Readings
{
    QString place; // "source:line" of its name
    int verified = 0;
    bool pending = false;
    // A "saved:" line: where the game's own code registers it as saved,
    // for a variable no game-written config.cfg shows.
    bool savedCited = false;
};

struct Parsed
{
    QList<CatalogueEntry> entries;
    QList<Readings> readings; // one per entry
    QStringList warnings;     // duplicate names and names that can never match
};

struct Source
{
    QByteArray utf8;
    QString name;
};

// Every problem is reported, one line each, as "source:line: reason".
Result<Parsed> parse(const QByteArray &utf8, const QString &sourceName);
// Several sources in order make one catalogue; a name given in two of
// them is reported with both places.
Result<Parsed> parse(const QList<Source> &sources);

// Every entry is read twice in the sources, the second time afresh. One
// line per entry that breaks this: no reading at all, one reading without a
// "pending:" line, or a "pending:" line left on an entry read twice.
QStringList readingProblems(const Parsed &parsed);
// Entries with fewer than two readings.
qsizetype awaitingSecondReading(const Parsed &parsed);

// What the game's own config.cfg files show it saves. When the game quits
// it writes every saved variable as `name "value"`, in the order of its
// variable list (rehlds engine/host.cpp Host_WriteConfiguration, cvar.cpp
// Cvar_WriteVariables), so such a file names exactly the variables that
// build saved. The table (data/catalogue/saved.txt) holds one block per
// file: "[where the file is published]", then its variable lines as the
// game wrote them; '#' lines are comments.
struct SavedVariable
{
    QString name;      // as the game wrote it
    int files = 0;     // how many files hold it
    QStringList values; // each distinct value, most frequent first
};
struct SavedTable
{
    QStringList sources;
    QHash<QString, SavedVariable> byLowerName; // the game ignores letter case
    const SavedVariable *find(const QString &name) const;
};
Result<SavedTable> parseSaved(const QByteArray &text, const QString &sourceName);
// The variable lines of a config.cfg the game wrote, for the table. Refuses
// a file the game did not write as it stands: no header, a line of a kind
// the game never writes (an alias, an exec of another file), or variables
// out of the game's order (a line added by hand).
Result<QByteArray> savedLinesOf(const QByteArray &configCfg, const QString &sourceName);
// One line per variable whose "archived" flag disagrees with the table:
// one the files hold must be flagged (and be a variable); one flagged that
// none holds needs a "saved:" line citing the game's own code.
QStringList savedFlagProblems(const Parsed &parsed, const SavedTable &saved);

// The source form of `entries`; parse() gives back entries whose fields 2
// and 4 are valid. Refuses a value holding a line break, which the source
// form cannot carry.
Result<QByteArray> write(const QList<CatalogueEntry> &entries);

// The entries in slot order, skipping slots whose six fields are all empty.
QList<CatalogueEntry> entriesOf(const Catalogue &catalogue);

// Writes a complete commands.dat (9000 records) holding `entries` in
// slots 1 upward. Refuses more than 1500 entries or a value that a record
// cannot hold, leaving any existing file as it was.
Status compile(const QList<CatalogueEntry> &entries, const QString &path);

// Reads an existing commands.dat; a missing file is an error, not created.
Result<QList<CatalogueEntry>> dump(const QString &path);

} // namespace CatalogueSource
