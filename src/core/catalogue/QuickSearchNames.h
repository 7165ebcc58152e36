#pragma once

#include <QStringList>

struct Catalogue;

// The console variables and commands the Quick Search box lists at start, in order.
const QStringList &QuickSearchNames();

// Every name the catalogue holds, each once, sorted without regard to case:
// what typing in the Quick Search box completes from.
QStringList CompletionNames(const Catalogue &catalogue);
