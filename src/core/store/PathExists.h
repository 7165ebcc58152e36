#pragma once

#include <QString>
#include <QStringList>

// The roots of the logical drives, each as a letter, a colon and a backslash
// ("C:\"). Empty on a system without drive letters.
QStringList platformDriveRoots();

// Whether a drive root, file or folder exists. A path ending in a colon and a
// backslash is a drive root, decided by its first character alone against the
// roots as a 64-character buffer would hold them; with 16 or more drives the
// roots do not fit and every drive root is missing. Otherwise true when a file
// or folder matches the path, with * and ? allowed in its last component; a
// path ending in a separator matches nothing. Never changes anything on disk.
bool PathExists(const QString &path, const QStringList &driveRoots = platformDriveRoots());
