#include "documents/Document.h"

#include <QDir>
#include <QFileInfo>

bool sameFile(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QString left = QFileInfo(a).canonicalFilePath();
    const QString right = QFileInfo(b).canonicalFilePath();
    if (!left.isEmpty() && !right.isEmpty())
        return left == right;
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath()) == QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}
