#include "documents/CommandLine.h"
#include "settings/DataFolder.h"
#include "settings/RegularFile.h"
#include "settings/mdlVars.h"
#include "gui/window/frmTessary.h"
#include "gui/window/SessionEnd.h"

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char *argv[])
{
    // Before anything is written: data.dat, tessary.ini and documents alike.
    RegularFile::ignoreFileSizeSignal();
    // Taken before Qt reads it as an option: a file named "-reverse" is opened.
    const QByteArray named = CommandLine::takeExistingFile(argc, argv);
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tessary"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION));
    // Lets the desktop match the window to the installed launcher and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("tessary"));

    mdlVars vars;
    const QString programFolder = QCoreApplication::applicationDirPath();
    frmTessary window(vars, programFolder, DataFolder::forProgram(programFolder));
    window.setDataFolder(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    const QByteArray file = !named.isNull() ? named : argc > 1 ? QByteArray(argv[1]) : QByteArray();
    window.Form_Load(file.isEmpty() ? QString() : CommandLine::filePath(file));
    new SessionEnd(window);
    window.show();
    return app.exec();
}
