#include "store/PathExists.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool hasWildcard(const QString &name)
{
    return name.contains(u'*') || name.contains(u'?');
}

} // namespace

bool PathExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    if (path.endsWith(u'/') || path.endsWith(u'\\'))
        return false;
    const qsizetype cut = path.lastIndexOf(u'/');
    const QString name = path.mid(cut + 1);
    if (hasWildcard(name)) {
        const QDir folder(cut < 0 ? QStringLiteral(".") : path.left(cut + 1));
        return !folder.entryList({name}, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
                    .isEmpty();
    }
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}
