#include "completion/CompletionList.h"

#include "catalogue/Catalogue.h"
#include "catalogue/UseTable.h"
#include "catalogue/ValueRange.h"
#include "config/KeyNames.h"
#include "config/KnownCommands.h"

#include <QFile>
#include <QSet>

#include <algorithm>

// Letters without regard to case, runs of digits by their number: F2
// before F10, as players read them.
int naturalCompare(QStringView a, QStringView b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype ie = i, je = j;
            while (ie < a.size() && a[ie].isDigit())
                ++ie;
            while (je < b.size() && b[je].isDigit())
                ++je;
            // Leading zeros aside, the longer run is the larger number.
            QStringView x = a.mid(i, ie - i), y = b.mid(j, je - j);
            while (x.size() > 1 && x.front() == u'0')
                x = x.mid(1);
            while (y.size() > 1 && y.front() == u'0')
                y = y.mid(1);
            if (x.size() != y.size())
                return x.size() < y.size() ? -1 : 1;
            if (const int c = x.compare(y); c != 0)
                return c;
            i = ie;
            j = je;
            continue;
        }
        const QChar p = a[i].toCaseFolded(), q = b[j].toCaseFolded();
        if (p != q)
            return p < q ? -1 : 1;
        ++i;
        ++j;
    }
    return a.size() - i == b.size() - j ? 0 : a.size() - i < b.size() - j ? -1 : 1;
}

namespace {

bool byUseThenName(const CompletionList::Item &a, const CompletionList::Item &b)
{
    if (a.uses != b.uses)
        return a.uses > b.uses;
    const int c = naturalCompare(a.name, b.name);
    return c != 0 ? c < 0 : a.name < b.name;
}

constexpr int MostValues = 10;

} // namespace

QStringList CompletionList::cfgFilesIn(const QString &folder)
{
    // The game folder's own configs; one in a sub-folder is typed by hand.
    QStringList files = QDir(folder).entryList({QStringLiteral("*.cfg")}, QDir::Files | QDir::Readable,
                                               QDir::Name | QDir::IgnoreCase);
    return files;
}

QString CompletionList::usesPath(const QString &programFolder)
{
    return programFolder + QStringLiteral("/uses.tsv");
}

void CompletionList::setCatalogue(const Catalogue &catalogue, const UseTable &uses)
{
    m_uses.clear();
    for (auto it = uses.names().begin(); it != uses.names().end(); ++it)
        m_uses[it.key().toLower()] += it.value().count;
    m_catalogue.clear();
    for (int k = 1; k <= Catalogue::Entries; ++k) {
        for (const QString &name : Catalogue::namesOf(catalogue.strCmdName[k])) {
            if (name.isEmpty() || catalogue.find(name) != k)
                continue;
            m_catalogue.append({name, firstSentence(catalogue.strCmdText[k]), m_uses.value(name.toLower())});
        }
    }
    sortNames();
}

Status CompletionList::setCatalogue(const Catalogue &catalogue, const QString &programFolder)
{
    QFile file(usesPath(programFolder));
    if (!file.open(QIODevice::ReadOnly)) {
        setCatalogue(catalogue, UseTable());
        return Status::failure(QStringLiteral("%1 could not be read: %2")
                                   .arg(QDir::toNativeSeparators(file.fileName()), file.errorString()));
    }
    Result<UseTable> uses = UseTable::fromTsv(file.readAll(), file.fileName());
    setCatalogue(catalogue, uses.ok() ? uses.value() : UseTable());
    return uses.ok() ? Status::success() : Status::failure(uses.error());
}

void CompletionList::setAliases(const QList<std::pair<QString, QString>> &aliases)
{
    QSet<QString> seen;
    for (const Item &item : std::as_const(m_catalogue))
        seen.insert(item.name.toLower());
    m_aliases.clear();
    for (const auto &[name, body] : aliases) {
        const QString lower = name.toLower();
        if (name.isEmpty() || seen.contains(lower))
            continue;
        seen.insert(lower);
        m_aliases.append({name, QStringLiteral("alias: ") + body, m_uses.value(lower)});
    }
    sortNames();
}

void CompletionList::setGameFolder(const QString &folder, FileLister lister)
{
    m_folder = folder;
    m_lister = std::move(lister);
}

void CompletionList::sortNames()
{
    m_names = m_catalogue + m_aliases;
    std::sort(m_names.begin(), m_names.end(), byUseThenName);
    m_lower.clear();
    m_lower.reserve(m_names.size());
    for (const Item &item : std::as_const(m_names))
        m_lower.append(item.name.toLower());
}

QList<CompletionList::Item> CompletionList::offers(const CompletionContext &context, const KnownCommands &known) const
{
    QList<Item> items;
    switch (context.kind) {
    case CompletionContext::Kind::None:
        break;
    case CompletionContext::Kind::Command:
        return m_names;
    case CompletionContext::Kind::Key:
        for (const KeyNames::Key &key : KeyNames::all()) {
            const QString name = QString::fromLatin1(key.name);
            const QString description = QString::fromUtf8(key.description);
            const auto bound = m_binds.constFind(KeyNames::canonical(name));
            items.append({name,
                          bound == m_binds.cend() ? description
                                                  : QStringLiteral("bound to %1; %2").arg(*bound, description),
                          0});
        }
        break;
    case CompletionContext::Kind::File:
        if (!m_folder.isEmpty() && m_lister) {
            for (const QString &file : m_lister(m_folder))
                items.append({file, QString(), 0});
        }
        break;
    case CompletionContext::Kind::Value:
        for (const QString &value : valuesOf(known.range(context.variable)))
            items.append({value, QString(), 0});
        break;
    }
    return items;
}

QList<CompletionList::Item> CompletionList::complete(const CompletionContext &context, const KnownCommands &known) const
{
    if (context.kind != CompletionContext::Kind::Command)
        return match(offers(context, known), context.prefix);
    QList<Item> items;
    for (const Item *item : matchNames(context.prefix))
        items.append(*item);
    return items;
}

QList<CompletionList::Item> CompletionList::match(const QList<Item> &offers, QStringView prefix)
{
    QList<Item> starting;
    QList<Item> holding;
    for (const Item &item : offers) {
        if (item.name.startsWith(prefix, Qt::CaseInsensitive))
            starting.append(item);
        else if (item.name.contains(prefix, Qt::CaseInsensitive))
            holding.append(item);
    }
    std::stable_sort(starting.begin(), starting.end(), byUseThenName);
    std::stable_sort(holding.begin(), holding.end(), byUseThenName);
    return starting + holding;
}

QList<const CompletionList::Item *> CompletionList::matchNames(QStringView prefix) const
{
    // m_names is sorted already, so two passes keep each group in order.
    const QString lower = prefix.toString().toLower();
    QList<const Item *> found;
    QList<const Item *> holding;
    for (qsizetype i = 0; i < m_names.size(); ++i) {
        const QString &name = m_lower[i];
        if (name.startsWith(lower))
            found.append(&m_names[i]);
        else if (name.contains(lower))
            holding.append(&m_names[i]);
    }
    found.append(holding);
    return found;
}

QStringList CompletionList::valuesOf(const ValueRange &range)
{
    QStringList values;
    if (range.kind != ValueRange::Kind::Between)
        return values;
    bool lowWhole = false;
    bool highWhole = false;
    const int low = range.lowText.toInt(&lowWhole);
    const int high = range.highText.toInt(&highWhole);
    if (!lowWhole || !highWhole || high < low || high - low + 1 > MostValues)
        return values;
    for (int v = low; v <= high; ++v)
        values.append(QString::number(v));
    return values;
}

QString CompletionList::firstSentence(const QString &text)
{
    const qsizetype stop = text.indexOf(QStringLiteral(". "));
    return stop < 0 ? text : text.left(stop + 1);
}
