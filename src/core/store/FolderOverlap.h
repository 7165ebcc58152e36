#pragma once

#include <QString>

// Whether two folders are one, or one lies inside the other, as the file
// system sees them: links are followed and a folder reached under another
// letter case or through another mount counts as the same. ".." is taken
// as the file system takes it, after the link before it. Parts of a path
// that do not exist yet are compared by name.
namespace FolderOverlap {

bool overlap(const QString &a, const QString &b);

// Whether two existing folders are one, as the file system resolves them;
// false when either does not exist.
bool sameFolder(const QString &a, const QString &b);

} // namespace FolderOverlap
