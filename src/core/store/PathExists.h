#pragma once

#include <QString>

// Whether a file or folder matches the path, with * and ? allowed in its last
// component; a path ending in a separator matches nothing. Never changes
// anything on disk.
bool PathExists(const QString &path);
