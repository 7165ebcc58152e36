#include "documents/CommandLine.h"

#include "settings/FileName.h"

namespace CommandLine {

QString filePath(const QByteArray &argument)
{
    return FileName::fromNative(argument);
}

QString shownName(const QString &path)
{
    return FileName::shown(path);
}

} // namespace CommandLine
