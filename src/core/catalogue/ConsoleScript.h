#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// How the game's console reads a script, as its engine does: a command ends
// at a line break, or at a ';' outside double quotes (quotes counted from the
// command's start, comment or not). Its words are split at blanks and
// control characters; a quote runs to the next quote or the command's end;
// each of { } ( ) ' , : is a word of its own; "//" where a word would start
// ends the command. Bind and alias join their words from the third on into
// the command they store, which runs as a script of its own.
namespace ConsoleScript {

// The commands of a script in order, as written (empty ones included).
QList<QStringView> commands(QStringView script);

// The words of one command, quotes removed.
QStringList words(QStringView command);

// A word with where it stands in its command, quotes included.
struct Word
{
    QString text; // quotes removed
    int start = 0;
    int length = 0;
};
QList<Word> locatedWords(QStringView command);

// Where a "//" that the console takes for a comment starts in one command,
// or -1. The comment ends with the command, so a ';' after it on the same
// line starts a command the game runs.
qsizetype commentStart(QStringView command);

// Whether a command name is bind or alias, whose third and later words
// form a command (the console ignores letter case in command names).
bool takesCommand(QStringView name);

// The command that bind or alias stores: its words from the third on.
QString storedCommand(const QStringList &words);

struct Alias
{
    QString name;
    QString body;
    // Where a definition inside another's body is: the alias whose running
    // defines it, or the key whose press does (byKey); empty at the top level.
    QString within;
    bool byKey = false;
    bool operator==(const Alias &) const = default;
};

// One command the script runs, directly or from a bind or alias body.
struct Use
{
    QString name;
    QString value; // the first word after the name
    bool hasValue = false;
};

struct Scan
{
    QList<Use> uses;
    QList<Alias> aliases; // every alias the script defines, bodies' included
};

// Every command a script holds, the commands inside bind and alias bodies
// included, in the order written.
Scan scan(QStringView script);
// Only the aliases of scan(script), for less work.
QList<Alias> aliases(QStringView script);

} // namespace ConsoleScript
