#include "desktop/FileTypes.h"

#include <QDir>
#include <QProcess>

namespace FileTypes {

const QList<FileType> &all()
{
    static const QList<FileType> types = {
        {"cfg", "text/x-tessary-cfg", false, "console scripts"},
        {"lst", "text/x-tessary-lst", false, "list files"},
        {"fgd", "text/x-tessary-fgd", false, "game-definition files"},
        {"gam", "text/x-tessary-gam", false, "mod description files"},
        {"txt", "text/plain", true, "every plain text file, not only the game's"},
        {"ps", "application/postscript", true, "every PostScript file, not only the game's"},
    };
    return types;
}


CommandOutcome runCommand(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    CommandOutcome outcome;
    outcome.started = process.waitForStarted();
    if (!outcome.started)
        return outcome;
    if (!process.waitForFinished(20000)) {
        process.kill();
        process.waitForFinished();
        outcome.errorOutput = QStringLiteral("it did not finish in time");
        return outcome;
    }
    outcome.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    outcome.errorOutput = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    return outcome;
}

Result<QString> associate(const QString &installedEntry, const QList<FileType> &chosen, const CommandRunner &run)
{
    if (chosen.isEmpty())
        return Status::failure(QStringLiteral("No file type was chosen, so nothing was changed."));
    if (installedEntry.isEmpty())
        return Status::failure(QStringLiteral("Tessary is not installed (no %1 was found), so it cannot be "
                                              "made the default application.")
                                   .arg(QString::fromLatin1(DesktopEntry)));
    QStringList arguments = {QStringLiteral("default"), QString::fromLatin1(DesktopEntry)};
    QStringList extensions;
    for (const FileType &type : chosen) {
        arguments << QString::fromLatin1(type.mimeType);
        extensions << u'.' + QString::fromLatin1(type.extension);
    }
    const QString program = QStringLiteral("xdg-mime");
    const CommandOutcome outcome = run(program, arguments);
    if (!outcome.started)
        return Status::failure(QStringLiteral("%1 could not be started; install xdg-utils and try again.").arg(program));
    if (outcome.exitCode != 0)
        return Status::failure(QStringLiteral("%1 failed: %2")
                                   .arg(program, outcome.errorOutput.isEmpty()
                                                     ? QStringLiteral("exit code %1").arg(outcome.exitCode)
                                                     : outcome.errorOutput.section(u'\n', 0, 0)));
    const QString last = extensions.takeLast();
    return QStringLiteral("Tessary is now your default application for %1 files. The README says how to undo this.")
        .arg(extensions.isEmpty() ? last : QStringLiteral("%1 and %2").arg(extensions.join(QStringLiteral(", ")), last));
}

} // namespace FileTypes
