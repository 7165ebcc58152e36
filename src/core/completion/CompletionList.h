#pragma once

#include "completion/CompletionContext.h"
#include "settings/Result.h"

#include <QDir>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

struct Catalogue;
class UseTable;

// Names in the order players read them: letter case ignored, a run of
// digits taken as its number (F1, F2 ... F10); negative, 0 or positive.
int naturalCompare(QStringView a, QStringView b);
struct ValueRange;

// What a context offers, and the offers that match the word typed so far:
// names starting with it first, then names holding it, each group by how
// often real configs use the name, then alphabetically. Letter case is
// ignored throughout, as the console ignores it.
class CompletionList
{
public:
    struct Item
    {
        QString name;
        QString explanation; // first sentence, or a short description
        qint64 uses = 0;
        bool operator==(const Item &) const = default;
    };

    // Lists the .cfg files of a game folder; tests pass their own.
    using FileLister = std::function<QStringList(const QString &folder)>;
    static QStringList cfgFilesIn(const QString &folder);
    // The use counts sit beside commands.dat, as uses.tsv.
    static QString usesPath(const QString &programFolder);

    // Catalogue entries as find() gives them (a name once, entries it
    // leaves out left out), counted by `uses` where it has them.
    void setCatalogue(const Catalogue &catalogue, const UseTable &uses);
    // The same with the use counts installed beside commands.dat. Without
    // them names rank alphabetically, and the reason is returned.
    Status setCatalogue(const Catalogue &catalogue, const QString &programFolder);
    // Aliases of the document and its start-up order: name, then body.
    // A name the catalogue has keeps the catalogue's entry.
    void setAliases(const QList<std::pair<QString, QString>> &aliases);
    void setGameFolder(const QString &folder, FileLister lister = cfgFilesIn);
    // What each bound key runs, by its canonical name: a key offered after
    // bind says so.
    void setKeyBinds(QHash<QString, QString> binds) { m_binds = std::move(binds); }

    // Every offer of a context, before matching.
    QList<Item> offers(const CompletionContext &context, const KnownCommands &known) const;
    // What the list shows for a context: its offers matching the word typed.
    QList<Item> complete(const CompletionContext &context, const KnownCommands &known) const;
    // The offers matching `prefix`, ranked.
    static QList<Item> match(const QList<Item> &offers, QStringView prefix);
    // The same over the names and aliases, kept sorted by use: the hot path
    // after each keystroke.
    QList<const Item *> matchNames(QStringView prefix) const;

    // The values a range lists (an integer span of at most ten), or none.
    static QStringList valuesOf(const ValueRange &range);

    // The first sentence of a text: up to the first ". ", or all of it.
    static QString firstSentence(const QString &text);

private:
    void sortNames();

    QList<Item> m_catalogue; // sorted by use, then name
    QList<Item> m_aliases;
    QList<Item> m_names;     // both, sorted by use, then name
    QList<QString> m_lower;  // m_names' names in lower case
    QHash<QString, qint64> m_uses; // by lower-case name
    QString m_folder;
    FileLister m_lister;
    QHash<QString, QString> m_binds;
};
