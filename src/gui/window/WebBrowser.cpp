#include "gui/window/WebBrowser.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>

bool openInBrowser(const QUrl &url, std::function<void()> failed)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // QDesktopServices counts a started xdg-open as success, even when it
    // then finds no browser; its exit code tells.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!opener.isEmpty()) {
        // Without a parent: a browser it runs in front outlives the editor.
        auto *process = new QProcess;
        QObject::connect(process, &QProcess::finished, process,
                         [process, failed](int code, QProcess::ExitStatus status) {
                             if ((status != QProcess::NormalExit || code != 0) && failed)
                                 failed();
                             process->deleteLater();
                         });
        process->start(opener, {url.toString(QUrl::FullyEncoded)});
        if (process->waitForStarted())
            return true;
        delete process;
        return false;
    }
#endif
    Q_UNUSED(failed);
    return QDesktopServices::openUrl(url);
}
