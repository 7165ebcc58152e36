#include "catalogue/AliasIndex.h"

#include "catalogue/Catalogue.h"
#include "catalogue/ConsoleScript.h"

#include <algorithm>

namespace {

// Whether the line holds "alias" in any letter case, which every definition needs.
bool mentionsAlias(QStringView line)
{
    static const char16_t word[] = u"alias";
    for (qsizetype i = 0; i + 5 <= line.size(); ++i) {
        if ((line[i].unicode() | 0x20) != u'a')
            continue;
        qsizetype k = 1;
        while (k < 5 && (line[i + k].unicode() | 0x20) == word[k])
            ++k;
        if (k == 5)
            return true;
    }
    return false;
}

} // namespace

void AliasIndex::replaceLines(int first, int removed, const QStringList &added)
{
    first = std::clamp(first, 0, lineCount());
    removed = std::clamp(removed, 0, lineCount() - first);
    for (int line = first; line < first + removed; ++line) {
        for (const Local &local : m_perLine[line]) {
            const QString key = Catalogue::foldedName(local.name);
            QList<int> &lines = m_lines[key];
            lines.erase(std::lower_bound(lines.begin(), lines.end(), line));
            if (lines.isEmpty()) {
                m_lines.remove(key);
                ++m_generation;
            }
        }
    }
    // Only definitions below the edit move; the text of other lines is not
    // read. A name defined only above the edit is looked at without being
    // taken for writing (which costs a call, or a copy, per name), and
    // lines added at the end, as a large file is read in pieces, move none.
    const int below = first + removed;
    if (const int shift = int(added.size()) - removed; shift && below < lineCount()) {
        for (auto name = m_lines.begin(); name != m_lines.end(); ++name) {
            const QList<int> &seen = std::as_const(name.value());
            if (seen.isEmpty() || seen.constLast() < below)
                continue;
            const qsizetype from = std::lower_bound(seen.cbegin(), seen.cend(), below) - seen.cbegin();
            int *lines = name.value().data();
            for (qsizetype i = from; i < seen.size(); ++i)
                lines[i] += shift;
        }
    }
    QList<QList<Local>> fresh;
    fresh.reserve(added.size());
    for (qsizetype i = 0; i < added.size(); ++i) {
        QList<Local> locals;
        const int line = first + int(i);
        // A definition needs the word itself; most lines go without the full scan.
        if (!mentionsAlias(added[i])) {
            fresh.append(QList<Local>());
            continue;
        }
        for (const ConsoleScript::Alias &alias : ConsoleScript::aliases(added[i])) {
            locals.append({alias.name, alias.body, alias.within, alias.byKey});
            const QString key = Catalogue::foldedName(alias.name);
            auto found = m_lines.find(key);
            if (found == m_lines.end()) {
                found = m_lines.insert(key, {});
                ++m_generation;
            }
            QList<int> &lines = found.value();
            // Read in order, each line goes at the end.
            if (lines.isEmpty() || lines.constLast() <= line)
                lines.append(line);
            else
                lines.insert(std::upper_bound(lines.cbegin(), lines.cend(), line) - lines.cbegin(), line);
        }
        fresh.append(std::move(locals));
    }
    // Lines replaced one for one stay in place: typing within a line moves no others.
    const int common = std::min(removed, int(fresh.size()));
    std::move(fresh.begin(), fresh.begin() + common, m_perLine.begin() + first);
    if (removed > common)
        m_perLine.remove(first + common, removed - common);
    else if (fresh.size() > common)
        m_perLine.insert(first + common, fresh.size() - common, {});
    std::move(fresh.begin() + common, fresh.end(), m_perLine.begin() + first + common);
}

QList<AliasIndex::Definition> AliasIndex::definitions(const QString &name) const
{
    QList<Definition> out;
    const QString key = Catalogue::foldedName(name);
    const auto found = m_lines.constFind(key);
    if (found == m_lines.cend())
        return out;
    int previous = -1;
    for (const int line : *found) {
        // A line defining the name twice is listed twice; its definitions are taken once.
        if (line == previous)
            continue;
        previous = line;
        for (const Local &local : m_perLine[line]) {
            if (Catalogue::foldedName(local.name) == key)
                out.append({local.name, local.body, line, local.within, local.byKey});
        }
    }
    return out;
}

bool AliasIndex::defines(const QString &name) const
{
    return m_lines.contains(Catalogue::foldedName(name));
}

std::optional<AliasIndex::Definition> AliasIndex::find(const QString &name) const
{
    const QList<Definition> all = definitions(name);
    if (all.isEmpty())
        return std::nullopt;
    for (auto it = all.crbegin(); it != all.crend(); ++it) {
        if (it->within.isEmpty())
            return *it;
    }
    return all.first();
}

QList<AliasIndex::Definition> AliasIndex::definitions() const
{
    QList<Definition> all;
    all.reserve(m_lines.size());
    for (auto it = m_lines.cbegin(); it != m_lines.cend(); ++it) {
        if (const auto first = find(it.key()))
            all.append(*first);
    }
    std::sort(all.begin(), all.end(), [](const Definition &a, const Definition &b) {
        return a.line != b.line ? a.line < b.line : a.name < b.name;
    });
    return all;
}

QString AliasIndex::explanation(const Definition &definition)
{
    return QStringLiteral("alias %1: %2 (line %3)").arg(definition.name, definition.body).arg(definition.line + 1);
}

QString AliasIndex::explain(const QString &name) const
{
    const QList<Definition> all = definitions(name);
    const std::optional<Definition> held = find(name);
    if (!held)
        return {};
    QString text = explanation(*held);
    for (const Definition &other : all) {
        if (other.within.isEmpty())
            continue;
        const QString when = other.byKey ? QStringLiteral("key %1 is pressed").arg(other.within)
                                         : QStringLiteral("%1 runs").arg(other.within);
        if (other == *held)
            text += QStringLiteral("; defined when %1").arg(when);
        else
            text += QStringLiteral("; redefined when %1 (line %2)").arg(when).arg(other.line + 1);
    }
    return text;
}
