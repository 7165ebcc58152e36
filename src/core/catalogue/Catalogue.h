#pragma once

#include "settings/Result.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <array>

// What field 2 and field 4 of one catalogue entry say.
struct CatalogueFacts
{
    QString family;
    bool isVariable = false;
    bool archived = false; // the game writes it to config.cfg on exit
    bool cheat = false;    // takes effect only with sv_cheats 1
    bool serverOnly = false;
};

// The command catalogue read from commands.dat: six fields per entry,
// entries numbered 1 to 1500 (slot 0 is never used). A free entry has an
// empty name.
//   1 to 1500      strCmdName(k)    at k
//   1501 to 3000   strCmdField2(k)  at k + 1500
//   3001 to 4500   strCmdRange(k)   at k + 3000
//   4501 to 6000   strCmdField4(k)  at k + 4500
//   6001 to 7500   strCmdText(k)    at k + 6000
//   7501 to 9000   strCmdNote(k)    at k + 7500
// Field 2 holds the entry's family id (CatalogueFamily.h); field 4 its kind,
// "command" or "variable", then its flags, each after one space.
struct Catalogue
{
    static constexpr int Entries = 1500;
    static constexpr int Fields = 6;
    static constexpr int LastRecord = Entries * Fields;

    std::array<QString, Entries + 1> strCmdName;
    std::array<QString, Entries + 1> strCmdField2; // family id
    std::array<QString, Entries + 1> strCmdRange;
    std::array<QString, Entries + 1> strCmdField4; // kind and flags
    std::array<QString, Entries + 1> strCmdText;
    std::array<QString, Entries + 1> strCmdNote;

    static QString path(const QString &programFolder);

    // Field f (0 to 5, in the order of the records above) of every entry,
    // and the record that holds field f of entry k.
    std::array<QString, Entries + 1> &field(int f);
    const std::array<QString, Entries + 1> &field(int f) const;
    static int record(int f, int k) { return f * Entries + k; }

    // The lowest-numbered entry whose name equals `name`, letter case
    // aside, and whose family is on, or 0. The engine finds variables,
    // commands and aliases regardless of case (rehlds engine/cvar.cpp
    // Cvar_FindVar, engine/cmd.cpp Cmd_ExecuteString_internal and Cmd_Exists
    // compare with Q_stricmp); the entry keeps its spelling for display.
    // Valid after reindex(); call it again after changing the names.
    int find(const QString &name) const;
    void reindex();
    // The names an entry named `name` stands for: itself, or for an entry
    // of a family ("sk_*", "sv_ag_ban_*" ...) every name of that family.
    static QStringList namesOf(const QString &name);
    // `name` as Q_stricmp compares it: ASCII letters in lower case.
    static QString foldedName(const QString &name);

    // Families the player switched off: their names are found nowhere, so
    // they are neither hinted nor coloured and count as unknown. Reindexes.
    void setFamiliesOff(const QStringList &ids);
    const QSet<QString> &familiesOff() const { return m_familiesOff; }
    // How many named entries each family id has, switched off or not.
    QHash<QString, int> entriesPerFamily() const;

    // What fields 2 and 4 of entry k say; unknown words are ignored.
    CatalogueFacts facts(int k) const;
    // Field 4 as the catalogue's compiler writes it.
    static QString kindField(bool isVariable, const QStringList &flags);
    static const QStringList &flagWords();

    // Entry k as the hint line shows it: text, then range and note in
    // brackets (no range for a command), and "(only with ...)" for an entry
    // of a family that needs it.
    QString explanation(int k) const;

private:
    QHash<QString, int> m_index;
    QSet<QString> m_familiesOff;
};

// Fills the catalogue from commands.dat in the program folder. A missing
// file is created empty and a short one gives empty entries past its end.
// A missing file, or one without a single command, is reported.
Status LoadCatalogue(Catalogue &catalogue, const QString &programFolder);
