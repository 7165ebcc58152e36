#include "config/KnownCommands.h"

#include "catalogue/Catalogue.h"

namespace {

// The catalogue's notes give a variable's default as "Default 0.7 in the
// engine", "Default 1." or "Default empty".
std::optional<QString> defaultIn(const QString &note)
{
    const qsizetype at = note.indexOf(QLatin1String("Default "));
    if (at < 0 || (at > 0 && note[at - 1].isLetterOrNumber()))
        return std::nullopt;
    QStringView rest = QStringView(note).mid(at + 8);
    if (rest.startsWith(u'"')) {
        const qsizetype close = rest.indexOf(u'"', 1);
        return close < 0 ? std::nullopt : std::optional<QString>(rest.mid(1, close - 1).toString());
    }
    const qsizetype space = rest.indexOf(u' ');
    QStringView word = space < 0 ? rest : rest.left(space);
    while (!word.isEmpty() && QStringView(u".,;:)").contains(word.back()))
        word.chop(1);
    if (word == u"empty" || word == u"none")
        return QString();
    return word.isEmpty() ? std::nullopt : std::optional<QString>(word.toString());
}

} // namespace

CatalogueCommands::CatalogueCommands(const Catalogue &catalogue)
{
    for (int k = 1; k <= Catalogue::Entries; ++k) {
        // A family the player switched off counts as unknown, as in the colours and the hint.
        if (catalogue.strCmdName[k].isEmpty() || catalogue.familiesOff().contains(catalogue.strCmdField2[k]))
            continue;
        CommandFacts facts;
        facts.range = ValueRange::parse(catalogue.strCmdRange[k]);
        facts.defaultValue = defaultIn(catalogue.strCmdNote[k]);
        if (!catalogue.strCmdField4[k].isEmpty()) {
            const CatalogueFacts known = catalogue.facts(k);
            facts.variable = known.isVariable;
            facts.archived = known.archived;
            facts.cheat = known.cheat;
            facts.serverOnly = known.serverOnly;
        } else if (catalogue.strCmdRange[k] == QLatin1String("none")) {
            // A commands.dat from before the kinds were compiled in.
            facts.variable = false;
        }
        for (const QString &name : Catalogue::namesOf(catalogue.strCmdName[k])) {
            const QString key = name.toLower();
            // The lowest-numbered entry wins, as Catalogue::find does.
            if (m_byLowerName.contains(key))
                continue;
            facts.name = name;
            m_byLowerName.insert(key, facts);
            m_names.append(name);
        }
    }
}

std::optional<CommandFacts> CatalogueCommands::facts(QStringView name) const
{
    const auto found = m_byLowerName.constFind(name.toString().toLower());
    if (found == m_byLowerName.cend())
        return std::nullopt;
    return *found;
}
