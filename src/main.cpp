#include "config/ConfigCheck.h"
#include "documents/CommandLine.h"
#include "documents/Handoff.h"
#include "settings/DataFolder.h"
#include "settings/RegularFile.h"
#include "settings/mdlVars.h"
#include "gui/window/frmTessary.h"
#include "gui/session/HandoffServer.h"
#include "gui/session/SessionEnd.h"

#include "documents/Texts.h"
#include "settings/FileName.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTimer>
#include <QStandardPaths>
#include <QTextStream>

#include <cstdio>

namespace {

// `tessary check PATH...`: no window, no display; the core alone.
int check(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tessary"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    Result<ConfigCheck::Options> options = ConfigCheck::parse(QCoreApplication::arguments().mid(2));
    if (!options) {
        err << "tessary check: " << options.error() << "\n" << ConfigCheck::usage();
        return ConfigCheck::Usage;
    }
    if (options.value().help) {
        out << ConfigCheck::usage();
        return 0;
    }
    return ConfigCheck::run(options.value(), QCoreApplication::applicationDirPath(), QDir::currentPath(), out, err);
}

} // namespace

int main(int argc, char *argv[])
{
    // A file named "check" opens as ./check.
    if (argc >= 2 && qstrcmp(argv[1], "check") == 0)
        return check(argc, argv);
    // Before anything is written: data.dat, tessary.ini and documents alike.
    RegularFile::ignoreFileSizeSignal();
    // Taken before Qt reads it as an option: a file named "-reverse" is opened.
    CommandLine::Start start;
    CommandLine::takeStart(argc, argv, start);
    const QByteArray activation = HandoffServer::activationToken();
    const QString styleSheetRefused = CommandLine::takeBadStyleSheet(argc, argv);
    if (!styleSheetRefused.isEmpty())
        std::fprintf(stderr, "Tessary: %s\n", qPrintable(styleSheetRefused));
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tessary"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION));
    // Lets the desktop match the window to the installed launcher and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("tessary"));
    // Those that followed Qt's own options; then a named file that is missing.
    CommandLine::takeStart(argc, argv, start);
    QByteArrayList further; // tessary *.cfg names many
    for (int i = 1; i < argc; ++i) {
        if (start.file.isNull())
            start.file = QByteArray(argv[i]);
        else
            further << QByteArray(argv[i]);
    }
    const CommandLine::MoreFiles more = CommandLine::moreFiles(further, Handoff::currentFolder());

    const QString programFolder = QCoreApplication::applicationDirPath();
    const QString dataFolder = DataFolder::forProgram(programFolder);
    // Absolute, whether handed over or opened here: the recent list and the
    // title name it wherever the next start is.
    const QByteArray file = start.file.isEmpty() ? QByteArray() : Handoff::absolutePath(start.file, Handoff::currentFolder());
    // The first window of a user, display and data folder takes the files
    // later starts name; --new-window stands apart, as every start once did.
    std::unique_ptr<HandoffServer> handoff;
    if (!start.newWindow) {
        const QString name = HandoffServer::nameFor(dataFolder);
        handoff = HandoffServer::take(name);
        if (!handoff && !file.isEmpty()) {
            if (HandoffServer::handOver(name, {file, activation})) {
                for (const QString &path : more.open)
                    HandoffServer::handOver(name, {FileName::toNative(path), activation});
                if (!more.notOpened.isEmpty())
                    std::fprintf(stderr, "Tessary: %s\n", qPrintable(more.notOpened));
                return 0;
            }
            // Nobody answered: the running window may have just closed.
            handoff = HandoffServer::take(name);
        }
    }

    mdlVars vars;
    frmTessary window(vars, programFolder, dataFolder);
    window.setDataFolder(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    window.Form_Load(file.isEmpty() ? QString() : CommandLine::filePath(file));
    new SessionEnd(window);
    window.show();
    for (const QString &path : more.open)
        window.openFile(path);
    if (!more.notOpened.isEmpty())
        QTimer::singleShot(0, &window, [&window, told = more.notOpened] {
            QMessageBox::information(&window, QString::fromLatin1(Texts::AppTitle), told);
        });
    if (handoff) {
        handoff->setReceiver([&window](const QString &path, const QByteArray &activationToken) {
            HandoffServer::bringToFront(window, activationToken);
            window.openFile(path);
        });
    }
    const int code = app.exec();
    // Handed over while the window's closing question was up: each opens in
    // a window of its own rather than being lost. When the session ends (a
    // logout, SIGTERM) they come back with it at the next start instead: a
    // new window now would replace the session just kept, and be ended too.
    if (handoff && window.sessionEnded()) {
        QStringList paths;
        for (const QByteArray &path : handoff->release())
            paths << CommandLine::filePath(path);
        if (!paths.isEmpty())
            window.keepForNextStart(paths);
    } else if (handoff) {
        for (const QByteArray &path : handoff->release()) {
            if (HandoffServer::openInNewWindow(QCoreApplication::applicationFilePath(), path) < 0)
                std::fprintf(stderr, "Tessary: %s could not be opened: no new window could be started.\n",
                             path.constData());
        }
    }
    return code;
}
