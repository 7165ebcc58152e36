#include "config/KnownCommands.h"

#include "catalogue/Catalogue.h"

CatalogueCommands::CatalogueCommands(const Catalogue &catalogue)
{
    for (int k = 1; k <= Catalogue::Entries; ++k) {
        // A family the player switched off counts as unknown, as in the colours and the hint.
        if (catalogue.strCmdName[k].isEmpty() || catalogue.familiesOff().contains(catalogue.strCmdField2[k]))
            continue;
        CommandFacts facts;
        facts.range = ValueRange::parse(catalogue.strCmdRange[k]);
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
