#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The aliases a document defines, kept line by line: an edit rescans only
// the lines it replaced, so typing costs the same in any size of document.
// Lines are counted from 0.
class AliasIndex
{
public:
    struct Definition
    {
        QString name;
        QString body;
        int line = 0;
        bool operator==(const Definition &) const = default;
    };

    // Lines [first, first + removed) were replaced by `added`.
    void replaceLines(int first, int removed, const QStringList &added);

    // The first definition of exactly `name` in the document.
    std::optional<Definition> find(const QString &name) const;
    bool defines(const QString &name) const { return m_lines.contains(name); }
    // Each defined name's first definition, in line order; for completion.
    QList<Definition> definitions() const;

    int lineCount() const { return int(m_perLine.size()); }

    // Changes whenever a name starts or stops being defined.
    quint64 namesGeneration() const { return m_generation; }

    // "alias NAME: body (line N)", N counted from 1, for the hint line and hovering.
    static QString explanation(const Definition &definition);

private:
    struct Local
    {
        QString name;
        QString body;
    };
    QList<QList<Local>> m_perLine;
    // For each defined name, the lines defining it in ascending order (a
    // line once per definition on it).
    QHash<QString, QList<int>> m_lines;
    quint64 m_generation = 0;
};
