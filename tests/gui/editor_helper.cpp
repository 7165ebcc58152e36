// Runs editor code in a process of its own, for tests that need another
// user or a process they can kill.
//
//   editor_helper save <path> <text> [file size limit]   exit 0 saved, 1 not; prints the error
//   editor_helper type <program folder> <text>...        the editor as started from the desktop,
//                                                        typing each text in a tab of its own
//                                                        (then prints "typed") and running
//                                                        until killed
//   editor_helper restore <program folder>               starts the editor, restores what is
//                                                        offered and prints each tab's text
//   editor_helper killedsave <path> <text>               opens the file, puts the text in and
//                                                        saves; killed as the file is emptied
//   editor_helper unreadable <path>                      opens the file, takes its permissions
//                                                        away and prints what the editor told
//   editor_helper read <document|lines|stamp> <path> <n> reads the file n times as opening,
//                                                        the long-line measure or the disk
//                                                        stamp does; exit 0 when it lived
//
// The editors keep their copies where the program does (the user's data folder).

#include "core/documents/FakePrompts.h"

#include "settings/mdlVars.h"
#include "documents/DocumentCommands.h"
#include "documents/DocumentFile.h"
#include "documents/RecoveryStore.h"
#include "editbox/MemoryClipboard.h"
#include "editbox/MemoryEditBox.h"
#include "gui/editbox/RichTextBox.h"
#include "gui/window/frmTessary.h"
#include "gui/session/SessionEnd.h"

#include <QApplication>
#include <QStandardPaths>
#include <QStringList>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <sys/stat.h>

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
            (void)DocumentFile::longestLineOf(path);
        } else {
            (void)DiskStamp::read(path);
        }
    }
    return 0;
}

int unreadable(const QStringList &args)
{
    MemoryClipboard clipboard;
    MemoryEditBox box(clipboard);
    FakePrompts prompts;
    prompts.openPath = args[2];
    DocumentCommands documents(box, prompts);
    if (!documents.open() || ::chmod(QFile::encodeName(args[2]).constData(), 0) != 0)
        return 3;
    documents.checkDisk();
    std::printf("%s\n", qPrintable((prompts.reloadsAsked + prompts.notices + prompts.errors).join(u'\n')));
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
    prompts.openPath = args[2];
    DocumentCommands documents(box, prompts);
    documents.setRecoveryStore(&store);
    if (!documents.open())
        return 4;
    box.setText(args[3]);
    box.setModified(true);
    documents.setTruncatedHook([] { std::raise(SIGKILL); });
    documents.save();
    std::printf("%s\n", qPrintable(prompts.errors.join(u'\n')));
    return 5; // not killed
}

int runEditor(int argc, char *argv[], const QStringList &args)
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tessary"));
    mdlVars vars;
    FakePrompts prompts;
    prompts.recoveryChoice = Prompts::RecoveryChoice::Restore;
    frmTessary window(vars, args[2], &prompts);
    window.setDataFolder(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    window.Form_Load(QString());
    new SessionEnd(window);
    window.show();
    QCoreApplication::processEvents();
    if (args[1] == QLatin1String("type")) {
        for (qsizetype i = 3; i < args.size(); ++i) {
            if (i > 3)
                window.mnuNew_Click();
            QTest::keyClicks(&window.editBox(), args[i]);
        }
        std::printf("typed\n");
        std::fflush(stdout);
        return app.exec();
    }
    std::printf("%lld offered\n", static_cast<long long>(prompts.recoveriesAsked.size()));
    for (int tab = 0; tab < window.tabCount(); ++tab)
        std::printf("%s\n", window.editBox(tab).Text().toUtf8().constData());
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList args;
    {
        // Saving needs no display.
        QCoreApplication core(argc, argv);
        args = core.arguments();
        if (args.value(1) == QLatin1String("save") && args.size() >= 4)
            return save(args);
        if (args.value(1) == QLatin1String("killedsave") && args.size() == 4)
            return killedSave(args);
        if (args.value(1) == QLatin1String("unreadable") && args.size() == 3)
            return unreadable(args);
        if (args.value(1) == QLatin1String("read") && args.size() == 5)
            return readRepeatedly(args);
    }
    const QString mode = args.value(1);
    if ((mode == QLatin1String("type") && args.size() >= 4) || (mode == QLatin1String("restore") && args.size() == 3))
        return runEditor(argc, argv, args);
    std::fprintf(stderr, "usage: editor_helper save <path> <text> [limit] | type <folder> <text> | restore <folder>\n");
    return 2;
}
