#pragma once

#include <QString>
#include <QStringView>

#include <span>

// Who provides a catalogue entry: the engine, the base game, a mod, or a
// replacement or tool that only some players and servers run. The one list
// of family ids and the names shown for them.
struct CatalogueFamily
{
    // As written after "family:" in the catalogue's sources, and in tessary.ini.
    QString id;
    // In the settings dialog.
    QString name;
    // Ends the hint as "(only with ...)"; empty where the entry itself or the
    // base game says enough.
    QString onlyWith;
};

namespace CatalogueFamilies {

// In the order the settings dialog lists them.
std::span<const CatalogueFamily> all();
// The family with `id`, or nullptr.
const CatalogueFamily *find(QStringView id);

} // namespace CatalogueFamilies
