#pragma once

#include <QStringList>

// The console variables and commands the Quick Search box lists at start, in order.
const QStringList &QuickSearchNames();
