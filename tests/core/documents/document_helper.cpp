// Runs document code in a process of its own, for core tests that need
// another user or a process they can kill. Qt Core only.
//
//   document_helper save <path> <text> [file size limit]   exit 0 saved, 1 not; prints the error
//   document_helper killedsave <path> <text>               opens the file, puts the text in and
//                                                          saves; killed as the file is emptied
//   document_helper read <document|lines|stamp> <path> <n> reads the file n times as opening,
//                                                          the long-line measure or the disk
//                                                          stamp does; exit 0 when it lived
//
// Recovery copies go where the program keeps them (the user's data folder).

#include "core/documents/FakePrompts.h"

#include "documents/DocumentCommands.h"
#include "documents/DocumentFile.h"
#include "documents/OpenCost.h"
#include "documents/RecoveryStore.h"
#include "editbox/MemoryClipboard.h"
#include "editbox/MemoryEditBox.h"

#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>
#include <QStringList>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>

namespace {

int save(const QStringList &args)
{
    if (args.size() > 4) {
        // Saving itself must keep SIGXFSZ from ending the process.
        const rlim_t limit = args[4].toULongLong();
        const rlimit fileSize = {limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &fileSize);
    }
    const Status saved = SaveDocument(args[2], args[3]);
    std::printf("%s\n", qPrintable(saved.error()));
    return saved ? 0 : 1;
}

int readRepeatedly(const QStringList &args)
{
    const QString &reader = args[2];
    const QString &path = args[3];
    for (int i = args[4].toInt(); i > 0; --i) {
        if (reader == QLatin1String("document")) {
            DiskStamp stamp;
            (void)LoadDocument(path, &stamp);
        } else if (reader == QLatin1String("lines")) {
            (void)OpenCost::ofFile(path);
        } else {
            (void)DiskStamp::read(path);
        }
    }
    return 0;
}

int killedSave(const QStringList &args)
{
    QCoreApplication::setApplicationName(QStringLiteral("Tessary"));
    RecoveryStore store(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    if (!store.open())
        return 3;
    MemoryClipboard clipboard;
    MemoryEditBox box(clipboard);
    FakePrompts prompts;
    DocumentCommands documents(box, prompts);
    documents.setRecoveryStore(&store);
    if (!documents.openPath(args[2]))
        return 4;
    box.setText(args[3]);
    box.setModified(true);
    documents.setTruncatedHook([] { std::raise(SIGKILL); });
    documents.save();
    std::printf("%s\n", qPrintable(prompts.errors.join(u'\n')));
    return 5; // not killed
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString mode = args.value(1);
    if (mode == QLatin1String("save") && args.size() >= 4)
        return save(args);
    if (mode == QLatin1String("killedsave") && args.size() == 4)
        return killedSave(args);
    if (mode == QLatin1String("read") && args.size() == 5)
        return readRepeatedly(args);
    std::fprintf(stderr, "usage: document_helper save <path> <text> [limit] | killedsave <path> <text> | "
                         "read <reader> <path> <n>\n");
    return 2;
}
