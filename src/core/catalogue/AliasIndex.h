#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The aliases a document defines, kept line by line: an edit rescans only
// the lines it replaced, so typing costs the same in any size of document.
// Lines are counted from 0. Names are found regardless of letter case, as
// the engine runs and redefines aliases (rehlds engine/cmd.cpp
// Cmd_ExecuteString_internal and Cmd_Alias_f compare with Q_stricmp); a
// definition keeps the spelling it was written with.
class AliasIndex
{
public:
    struct Definition
    {
        QString name;
        QString body;
        int line = 0;
        // Inside another's body: the alias that defines it when it runs, or the key (byKey).
        QString within;
        bool byKey = false;
        bool operator==(const Definition &) const = default;
    };

    // Lines [first, first + removed) were replaced by `added`.
    void replaceLines(int first, int removed, const QStringList &added);

    // The definition of `name` the game holds once the document has
    // run: its last one at the top level (a copy inside another alias's body
    // only takes effect when that alias runs), else its first one.
    std::optional<Definition> find(const QString &name) const;
    // Every definition of `name`, in document order.
    QList<Definition> definitions(const QString &name) const;
    bool defines(const QString &name) const;
    // Each defined name's definition held at start-up (as find gives it), in line order; for completion.
    QList<Definition> definitions() const;

    int lineCount() const { return int(m_perLine.size()); }

    // Changes whenever a name starts or stops being defined.
    quint64 namesGeneration() const { return m_generation; }

    // "alias NAME: body (line N)", N counted from 1, for the hint line and hovering.
    static QString explanation(const Definition &definition);
    // The explanation of find(name), then the definitions nested in other
    // bodies: "; redefined when X runs (line N)" ("; defined when ..." for
    // find(name) itself). Empty for an undefined name.
    QString explain(const QString &name) const;

private:
    struct Local
    {
        QString name;
        QString body;
        QString within;
        bool byKey = false;
    };
    QList<QList<Local>> m_perLine;
    // For each defined name (folded to lower case), the lines defining it in
    // ascending order (a line once per definition on it).
    QHash<QString, QList<int>> m_lines;
    quint64 m_generation = 0;
};
