#pragma once

#include "catalogue/ValueRange.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// Names beyond the game's catalogue whose owner is known: server plugins,
// bots, tools, and the commands the game library on the server answers
// (data/known-names.txt, built into the program). They only say whose a
// name is; what it does stays the catalogue's.
class NameOwners
{
public:
    struct Owner
    {
        QString whose;          // "GunGame, an AMX Mod X plugin"
        bool forwarded = false; // the server's game library answers it
        bool sourceEngine = false; // a name of the later Source engine, which this game lacks
        bool game = false;      // a name of this game the catalogue does not describe
    };

    // The list built into the program.
    static const NameOwners &builtIn();
    // A list in the format of data/known-names.txt.
    static NameOwners parse(QStringView text);

    // Whose the name is, letter case ignored; a name listed exactly wins
    // over a prefix, a longer prefix over a shorter.
    std::optional<Owner> owner(QStringView name) const;
    // A wider range some game library takes for a catalogue variable.
    std::optional<ValueRange> range(QStringView variable) const;
    // Whether such a wider range takes a value the catalogue's range refuses.
    bool widerRangeTakes(QStringView variable, QStringView value) const;

    int groups() const { return int(m_owners.size()); }

private:
    QList<Owner> m_owners;
    QHash<QString, int> m_exact;            // lower-case name -> owner
    QList<std::pair<QString, int>> m_prefixes; // longest first
    QHash<QString, ValueRange> m_ranges;
};
