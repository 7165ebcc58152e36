#include "catalogue/UseTable.h"

#include "catalogue/Catalogue.h"
#include "catalogue/ConsoleScript.h"
#include "catalogue/ValueRange.h"

#include <QSet>

#include <algorithm>

namespace {

double numberOf(const QString &text)
{
    double value = 0;
    parseConsoleNumber(text, value);
    return value;
}

void sortValues(QStringList &values)
{
    std::sort(values.begin(), values.end(), [](const QString &a, const QString &b) {
        const double x = numberOf(a), y = numberOf(b);
        return x != y ? x < y : a < b;
    });
}

// Most used first, then by name, so the table reads from the top.
template <typename T>
QList<std::pair<QString, T>> byCount(QList<std::pair<QString, T>> list, qint64 (*count)(const T &))
{
    std::stable_sort(list.begin(), list.end(),
                     [count](const auto &a, const auto &b) { return count(a.second) > count(b.second); });
    return list;
}

} // namespace

void UseTable::addFile(QStringView script)
{
    addFolder({script.toString()});
}

qint64 UseTable::addFolder(const QStringList &scripts)
{
    qint64 ownUses = 0;
    QList<ConsoleScript::Scan> scans;
    QSet<QString> own;
    for (const QString &script : scripts) {
        scans.append(ConsoleScript::scan(script));
        for (const ConsoleScript::Alias &alias : scans.last().aliases)
            own.insert(Catalogue::foldedName(alias.name));
    }
    for (const ConsoleScript::Scan &scan : std::as_const(scans)) {
        QSet<QString> used;
        for (const ConsoleScript::Use &use : scan.uses) {
            if (use.name.isEmpty())
                continue;
            if (own.contains(Catalogue::foldedName(use.name))) {
                ++ownUses;
                continue;
            }
            // A quoted name may hold a tab, which the table's form cannot.
            QString key = use.name;
            key.replace(u'\t', u' ');
            Name &name = m_names[key];
            ++name.count;
            used.insert(key);
            if (!use.hasValue)
                continue;
            if (!isConsoleNumber(use.value))
                ++name.textValues;
            else if (!name.values.contains(use.value))
                name.values.append(use.value);
        }
        for (const QString &name : used) {
            ++m_names[name].files;
            sortValues(m_names[name].values);
        }
    }
    return ownUses;
}

void UseTable::add(const UseTable &other)
{
    for (auto it = other.m_names.cbegin(); it != other.m_names.cend(); ++it) {
        Name &name = m_names[it.key()];
        name.count += it->count;
        name.files += it->files;
        name.textValues += it->textValues;
        for (const QString &value : it->values) {
            if (!name.values.contains(value))
                name.values.append(value);
        }
        sortValues(name.values);
    }
}

qint64 UseTable::uses() const
{
    qint64 total = 0;
    for (const Name &name : m_names)
        total += name.count;
    return total;
}

QByteArray UseTable::toTsv() const
{
    QList<std::pair<QString, Name>> rows;
    for (auto it = m_names.cbegin(); it != m_names.cend(); ++it)
        rows.append({it.key(), it.value()});
    rows = byCount<Name>(rows, [](const Name &n) { return n.count; });
    QString out = QStringLiteral("# name\tcount\tvalues\tfiles\ttext\n");
    for (const auto &[key, name] : rows)
        out += QStringLiteral("%1\t%2\t%3\t%4\t%5\n")
                   .arg(key)
                   .arg(name.count)
                   .arg(name.values.join(u' '))
                   .arg(name.files)
                   .arg(name.textValues);
    return out.toUtf8();
}

Result<UseTable> UseTable::fromTsv(const QByteArray &tsv, const QString &sourceName)
{
    UseTable table;
    const QList<QByteArray> lines = tsv.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines[i]).remove(u'\r');
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList cells = line.split(u'\t');
        Name name;
        bool countOk = false, filesOk = false, textOk = false;
        if (cells.size() == 5) {
            name.count = cells[1].toLongLong(&countOk);
            name.values = cells[2].split(u' ', Qt::SkipEmptyParts);
            name.files = cells[3].toInt(&filesOk);
            name.textValues = cells[4].toLongLong(&textOk);
        }
        const bool valuesOk = std::all_of(name.values.cbegin(), name.values.cend(), isConsoleNumber);
        if (!countOk || !filesOk || !textOk || !valuesOk || cells[0].isEmpty() || table.m_names.contains(cells[0]))
            return Status::failure(QStringLiteral("%1:%2: expected a new name, its count, its numeric values, "
                                                  "its files and its text values, separated by tabs")
                                       .arg(sourceName)
                                       .arg(i + 1));
        table.m_names.insert(cells[0], name);
    }
    return table;
}

bool CoverageScope::isName(QStringView token)
{
    const auto letter = [](QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_'; };
    if (token.startsWith(u'+') || token.startsWith(u'-'))
        token = token.sliced(1);
    if (token.isEmpty() || !letter(token.front()))
        return false;
    return std::all_of(token.begin(), token.end(),
                       [&](QChar c) { return letter(c) || (c >= u'0' && c <= u'9') || c == u'.'; });
}

Result<CoverageScope> CoverageScope::fromText(const QByteArray &text, const QString &sourceName)
{
    CoverageScope scope;
    QString project;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines[i]).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']') && line.size() > 2) {
            project = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        const bool prefix = line.endsWith(u'*');
        const QString name = prefix ? line.chopped(1) : line;
        if (project.isEmpty() || !isName(name) || scope.m_names.contains(name))
            return Status::failure(QStringLiteral("%1:%2: expected a new name or prefix* of the project named "
                                                  "in the [Project] line above it")
                                       .arg(sourceName)
                                       .arg(i + 1));
        if (prefix)
            scope.m_prefixes.append({name, project});
        else
            scope.m_names.insert(name, project);
    }
    return scope;
}

QString CoverageScope::projectOf(const QString &name) const
{
    if (const auto it = m_names.constFind(name); it != m_names.cend())
        return *it;
    for (const auto &[prefix, project] : m_prefixes)
        if (name.startsWith(prefix))
            return project;
    return {};
}

Coverage coverageOf(const UseTable &table, const Catalogue &catalogue, const CoverageScope &scope)
{
    Coverage coverage;
    for (auto it = table.names().cbegin(); it != table.names().cend(); ++it) {
        const qint64 count = it.value().count;
        const bool covered = catalogue.find(it.key()) != 0;
        coverage.uses += count;
        coverage.covered += covered ? count : 0;
        QList<std::pair<QString, qint64>> *list = &coverage.uncovered;
        if (!CoverageScope::isName(it.key())) {
            coverage.notNames += count;
            list = &coverage.uncoveredNotNames;
        } else if (!scope.projectOf(it.key()).isEmpty()) {
            coverage.outOfScope += count;
            list = &coverage.uncoveredOutOfScope;
        } else if (covered) {
            coverage.coveredInScope += count;
        }
        if (!covered)
            list->append({it.key(), count});
    }
    for (auto *list : {&coverage.uncovered, &coverage.uncoveredNotNames, &coverage.uncoveredOutOfScope})
        *list = byCount<qint64>(*list, [](const qint64 &n) { return n; });
    return coverage;
}
