#pragma once

#include "console/ConsoleRun.h"

#include <QString>
#include <QStringList>

// A key's press and release in plain words, for the Key Bindings window
// and the hover on a bind line.
namespace KeyTraceText {

// "Frame 1: +jt 116", its aliases unfolded beneath, with what each step
// changes; the release the same; one line a step.
QStringList frames(const ConsoleStartup::KeyRun &run);
// What the player should know: the key freezes the game, overflows the
// buffer, leaves a button held, or holds other keys up with waits.
QStringList warnings(const ConsoleStartup::KeyRun &run);
// The first frames in one or two lines: "Press: +jump, then -attack. Let go: -jump."
QString summary(const ConsoleStartup::KeyRun &run);

} // namespace KeyTraceText
