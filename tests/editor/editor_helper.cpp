// Runs editor code in a process of its own, for tests that need another
// user or a process they can kill.
//
//   editor_helper save <path> <text> [file size limit]   exit 0 saved, 1 not; prints the error

#include "editor/DocumentFile.h"

#include <QCoreApplication>
#include <QStringList>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>

namespace {

int save(const QStringList &args)
{
    if (args.size() > 4) {
        // Writes past the limit then fail with EFBIG instead of a signal.
        const rlim_t limit = args[4].toULongLong();
        const rlimit fileSize = {limit, limit};
        std::signal(SIGXFSZ, SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &fileSize);
    }
    const Status saved = SaveDocument(args[2], args[3]);
    std::printf("%s\n", qPrintable(saved.error()));
    return saved ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.value(1) == QLatin1String("save") && args.size() >= 4)
        return save(args);
    std::fprintf(stderr, "usage: editor_helper save <path> <text> [limit]\n");
    return 2;
}
