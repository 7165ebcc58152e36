#include "documents/CommandLine.h"

#include "settings/FileName.h"
#include "settings/RegularFile.h"
#include "documents/Handoff.h"
#include "documents/Texts.h"

#include <QSet>

#include <QFileInfo>

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

QString takeBadStyleSheet(int &argc, char **argv)
{
    QString refused;
    for (int i = 1; i < argc; ++i) {
        // Qt takes -stylesheet, --stylesheet, and either with "=value".
        QByteArray option(argv[i]);
        if (option.startsWith("--"))
            option.remove(0, 1);
        const bool joined = option.startsWith("-stylesheet=");
        if (!joined && (option != "-stylesheet" || i + 1 >= argc))
            continue;
        const QByteArray value = joined ? option.mid(qsizetype(sizeof "-stylesheet=") - 1) : QByteArray(argv[i + 1]);
        const QString path = FileName::fromNative(value);
        Status usable = RegularFile::check(path);
        if (usable && QFileInfo(path).size() > LargestStyleSheet)
            usable = Status::failure(QStringLiteral("%1 is larger than %2 KB, more than any style sheet.")
                                         .arg(FileName::shownPath(path))
                                         .arg(LargestStyleSheet / 1024));
        if (usable)
            continue;
        refused = QStringLiteral("The style sheet was not used: %1").arg(usable.error());
        const int taken = joined ? 1 : 2;
        for (int j = i; j + taken <= argc; ++j)
            argv[j] = argv[j + taken]; // argv[argc] is the null pointer
        argc -= taken;
        --i;
    }
    return refused;
}

MoreFiles moreFiles(const QByteArrayList &arguments, const QByteArray &currentFolder, int limit)
{
    MoreFiles more;
    QStringList unusable, beyond;
    QSet<QString> seen;
    for (const QByteArray &argument : arguments) {
        const QString path = filePath(Handoff::absolutePath(argument, currentFolder));
        if (seen.contains(path))
            continue;
        seen.insert(path);
        if (!RegularFile::exists(path) || !RegularFile::check(path))
            unusable << path;
        else if (more.open.size() < limit)
            more.open << path;
        else
            beyond << path;
    }
    more.notOpened = Texts::commandLineFilesNotOpened(unusable, beyond, limit);
    return more;
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
