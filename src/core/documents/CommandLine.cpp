#include "documents/CommandLine.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#endif

namespace CommandLine {

namespace {

constexpr char ByDescriptor[] = "/proc/self/fd/";

} // namespace

QString filePath(const QByteArray &argument)
{
    const QString name = QFile::decodeName(argument);
    if (QFile::encodeName(name) == argument)
        return name;
#ifdef Q_OS_LINUX
    // O_PATH neither reads nor blocks; the descriptor stays open for the run,
    // and its /proc entry opens the file itself.
    const int fd = ::open(argument.constData(), O_PATH | O_CLOEXEC);
    if (fd >= 0)
        return QLatin1String(ByDescriptor) + QString::number(fd);
#endif
    return name;
}

QString shownName(const QString &path)
{
    if (path.startsWith(QLatin1String(ByDescriptor)))
        return QFileInfo(path).symLinkTarget();
    return path;
}

} // namespace CommandLine
