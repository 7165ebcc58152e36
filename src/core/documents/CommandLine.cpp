#include "documents/CommandLine.h"

#include "settings/FileName.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace CommandLine {

QByteArray takeExistingFile(int &argc, char **argv)
{
    if (argc < 2 || !argv[1] || !*argv[1])
        return {};
#ifdef Q_OS_UNIX
    struct stat st = {};
    if (::stat(argv[1], &st) != 0)
        return {};
#endif
    QByteArray file(argv[1]);
    for (int i = 1; i < argc; ++i)
        argv[i] = argv[i + 1]; // argv[argc] is the null pointer
    --argc;
    return file;
}

void takeStart(int &argc, char **argv, Start &start)
{
    while (argc > 1) {
        // A file named "--new-window" is a file.
        if (start.file.isNull()) {
            if (QByteArray file = takeExistingFile(argc, argv); !file.isNull()) {
                start.file = file;
                continue;
            }
        }
        if (start.newWindow || qstrcmp(argv[1], NewWindowOption) != 0)
            break;
        start.newWindow = true;
        for (int i = 1; i < argc; ++i)
            argv[i] = argv[i + 1];
        --argc;
    }
}

QString filePath(const QByteArray &argument)
{
    return FileName::fromNative(argument);
}

QString shownName(const QString &path)
{
    return FileName::shown(path);
}

} // namespace CommandLine
