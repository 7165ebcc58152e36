#include "store/PathExists.h"

#include <QDir>
#include <QFileInfo>

namespace {

constexpr int DriveBufferLength = 64;

// The buffer as the drive query leaves it: every root and a NUL after each,
// one more NUL, spaces beyond; all spaces when the roots do not fit.
QString driveBuffer(const QStringList &roots)
{
    QString written;
    for (const QString &root : roots)
        written += root + QChar(u'\0');
    written += QChar(u'\0');
    QString buffer(DriveBufferLength, u' ');
    if (written.size() <= DriveBufferLength)
        buffer.replace(0, written.size(), written);
    return buffer;
}

bool hasWildcard(const QString &name)
{
    return name.contains(u'*') || name.contains(u'?');
}

} // namespace

QStringList platformDriveRoots()
{
    QStringList roots;
    for (const QFileInfo &drive : QDir::drives()) {
        const QString root = drive.absoluteFilePath();
        if (root.size() == 3 && root[1] == u':')
            roots << root.left(2) + u'\\';
    }
    return roots;
}

bool PathExists(const QString &path, const QStringList &driveRoots)
{
    if (path.endsWith(QStringLiteral(":\\")))
        return driveBuffer(driveRoots).contains(path[0], Qt::CaseInsensitive);
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
