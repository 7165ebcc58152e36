#pragma once

#include "catalogue/ValueRange.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

struct Catalogue;

// What the configuration analysis needs to know about one console name.
// Facts the source cannot tell are left unknown rather than guessed.
struct CommandFacts
{
    QString name;           // as the source spells it
    std::optional<bool> variable; // a variable (set by "name value") or a command
    std::optional<bool> archived; // saved to config.cfg by the game on exit
    std::optional<bool> cheat;    // works only with sv_cheats 1
    std::optional<bool> serverOnly; // works only on the server
    ValueRange range;       // the values it takes; unchecked when any
    std::optional<QString> defaultValue; // a variable's value before anything sets it
};

// The console names the analysis knows, looked up as the console looks
// them up: letter case ignored (rehlds cmd.cpp Cmd_ExecuteString_internal
// and cvar.cpp Cvar_FindVar compare with Q_stricmp).
class KnownCommands
{
public:
    virtual ~KnownCommands() = default;
    virtual std::optional<CommandFacts> facts(QStringView name) const = 0;
    // Every known name, for suggesting the nearest to a misspelt one.
    virtual QStringList names() const = 0;

    bool isKnown(QStringView name) const { return facts(name).has_value(); }
    std::optional<bool> isVariable(QStringView name) const
    {
        const auto f = facts(name);
        return f ? f->variable : std::nullopt;
    }
    std::optional<bool> isArchived(QStringView name) const
    {
        const auto f = facts(name);
        return f ? f->archived : std::nullopt;
    }
    ValueRange range(QStringView name) const
    {
        const auto f = facts(name);
        return f ? f->range : ValueRange();
    }
};

// The catalogue: names, ranges, and the kind and flags compiled into its
// spare fields. A commands.dat without them knows only that an entry whose
// range is "none" is a command; the rest stays unknown. Families the player
// switched off are left out.
class CatalogueCommands : public KnownCommands
{
public:
    // The catalogue is read once; it must not change while this lives.
    explicit CatalogueCommands(const Catalogue &catalogue);
    std::optional<CommandFacts> facts(QStringView name) const override;
    QStringList names() const override { return m_names; }

private:
    QHash<QString, CommandFacts> m_byLowerName;
    QStringList m_names;
};
