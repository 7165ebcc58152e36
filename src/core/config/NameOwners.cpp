#include "config/NameOwners.h"

#include <algorithm>

// data/known-names.txt, as the build writes it into KnownNamesText.cpp.
extern const char KnownNamesText[];

const NameOwners &NameOwners::builtIn()
{
    static const NameOwners names = parse(QString::fromUtf8(KnownNamesText));
    return names;
}

NameOwners NameOwners::parse(QStringView text)
{
    NameOwners out;
    int current = -1;
    for (QStringView line : text.split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            out.m_owners.append({line.mid(1, line.size() - 2).toString(), false});
            current = int(out.m_owners.size()) - 1;
            continue;
        }
        if (current < 0 || line.startsWith(QLatin1String("source:")))
            continue;
        if (line.startsWith(QLatin1String("kind:"))) {
            const QStringView kind = line.mid(5).trimmed();
            out.m_owners[current].forwarded = kind == QLatin1String("forwarded");
            out.m_owners[current].sourceEngine = kind == QLatin1String("source");
            out.m_owners[current].game = kind == QLatin1String("game");
            continue;
        }
        if (line.startsWith(QLatin1String("range:"))) {
            const QStringView rest = line.mid(6).trimmed();
            const qsizetype space = rest.indexOf(u' ');
            if (space > 0)
                out.m_ranges.insert(rest.left(space).toString().toLower(),
                                    ValueRange::parse(rest.mid(space + 1).trimmed().toString()));
            continue;
        }
        // A name may be followed by where it was read.
        const qsizetype space = line.indexOf(u' ');
        const QString name = (space < 0 ? line : line.left(space)).toString().toLower();
        if (name.endsWith(u'*'))
            out.m_prefixes.append({name.chopped(1), current});
        else if (!out.m_exact.contains(name)) // a name listed twice keeps its first group
            out.m_exact.insert(name, current);
    }
    std::stable_sort(out.m_prefixes.begin(), out.m_prefixes.end(),
                     [](const auto &a, const auto &b) { return a.first.size() > b.first.size(); });
    return out;
}

std::optional<NameOwners::Owner> NameOwners::owner(QStringView name) const
{
    const QString key = name.toString().toLower();
    if (const auto found = m_exact.constFind(key); found != m_exact.cend())
        return m_owners[*found];
    for (const auto &[prefix, index] : m_prefixes) {
        if (key.size() > prefix.size() && key.startsWith(prefix))
            return m_owners[index];
    }
    return std::nullopt;
}

std::optional<ValueRange> NameOwners::range(QStringView variable) const
{
    const auto found = m_ranges.constFind(variable.toString().toLower());
    if (found == m_ranges.cend())
        return std::nullopt;
    return *found;
}

bool NameOwners::widerRangeTakes(QStringView variable, QStringView value) const
{
    const std::optional<ValueRange> wider = range(variable);
    return wider && wider->check(value).severity != ValueRange::Severity::Error;
}
