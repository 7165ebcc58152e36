#pragma once

#include <QStringList>

// The Script Wizard's vocabulary of the game, each list in its stored order.
namespace ScriptWizardLists {

// Key names, each followed by one space.
const QStringList &keys();
// Console commands of the game, some with an argument.
const QStringList &gameCommands();
// Console variables with a value; the audio list offers the same entries.
const QStringList &mouseSettings();

} // namespace ScriptWizardLists
