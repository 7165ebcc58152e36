#pragma once

#include <QList>
#include <QString>

class KnownCommands;
struct ConsoleState;

// The config.cfg the game writes when it quits, from the console's state,
// and what of the present config.cfg that loses.
namespace WrittenConfig {

// rehlds engine/host.cpp Host_WriteConfiguration: two comment lines and a
// blank one, unbindall, every binding (Key_WriteBindings), every saved
// variable (cvar.cpp Cvar_WriteVariables: name "value"), setinfo lines for
// userinfo keys that are no variable and do not start with '*'
// (Info_WriteVars), +mlook and +jlook when held, then exec userconfig.cfg.
// Saved variables nothing set are written with the catalogue's default
// where it knows one.
QString text(const ConsoleState &state, const KnownCommands &known);

// A line of the present config.cfg that the written one drops.
struct Lost
{
    int line = 0; // from 0
    QString why;
    bool operator==(const Lost &) const = default;
};
QList<Lost> lost(const QString &present, const KnownCommands &known);

} // namespace WrittenConfig
