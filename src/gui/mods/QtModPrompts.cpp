#include "gui/mods/QtModPrompts.h"

#include "documents/Texts.h"
#include "gui/mods/frmDiff.h"

#include <QApplication>
#include <QDir>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QRegularExpression>

QWidget *QtModPrompts::parent() const
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return m_fallbackParent;
}

namespace {

// A path is broken at a line's end only at its spaces, never after a slash
// ("/ tmp/..."): a word joiner holds each separator to what follows it.
QString unbrokenPaths(const QString &message)
{
    QString shown = message;
    static const QRegularExpression separator(QStringLiteral("([/\\\\])(?=\\S)"));
    return shown.replace(separator, QStringLiteral("\\1\u2060"));
}

bool ask(QWidget *parent, const QString &message, QMessageBox::StandardButton byDefault)
{
    return QMessageBox::question(parent, QString::fromLatin1(Texts::AppTitle), unbrokenPaths(message),
                                 QMessageBox::Yes | QMessageBox::No, byDefault)
        == QMessageBox::Yes;
}

} // namespace

bool QtModPrompts::confirm(const QString &message)
{
    return ask(parent(), message, QMessageBox::No);
}

bool QtModPrompts::confirmFiles(const QString &message, const QStringList &files)
{
    // A file in a subfolder shows its path from the mod folder, as the player's system writes it.
    QStringList shown;
    for (const QString &file : files)
        shown << QDir::toNativeSeparators(file);
    // A long list reads better as one paragraph than as a box taller than the screen.
    const QString list = shown.size() <= 15 ? shown.join(u'\n') : shown.join(QStringLiteral(", "));
    // Copying what the user just chose to back up is what Enter should do.
    return ask(parent(),
               QStringLiteral("%1\n\n%2\n\nCopy %3?")
                   .arg(message, list,
                        files.size() == 1 ? QStringLiteral("this file") : QStringLiteral("these %1 files").arg(files.size())),
               QMessageBox::Yes);
}

bool QtModPrompts::confirmDifference(const QString &question, const QString &currentTitle, const QString &current,
                                     const QString &versionTitle, const QString &version)
{
    frmDiff dialog(unbrokenPaths(question), currentTitle, current, versionTitle, version, parent());
    return dialog.exec() == QDialog::Accepted;
}

QString QtModPrompts::askText(const QString &prompt, const QString &title)
{
    return QInputDialog::getText(parent(), title, prompt);
}

void QtModPrompts::showError(const QString &message)
{
    QMessageBox::warning(parent(), QString::fromLatin1(Texts::AppTitle), unbrokenPaths(message));
}

void QtModPrompts::inform(const QString &message)
{
    QMessageBox::information(parent(), QString::fromLatin1(Texts::AppTitle), unbrokenPaths(message));
}

bool QtModPrompts::keepWaiting(const QString &message, int)
{
    if (!m_waiting) {
        m_waiting = new QProgressDialog(message, QStringLiteral("Cancel"), 0, 0, parent());
        m_waiting->setWindowTitle(QString::fromLatin1(Texts::AppTitle));
        m_waiting->setWindowModality(Qt::WindowModal);
        m_waiting->setMinimumDuration(0);
        m_waiting->show();
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return !m_waiting->wasCanceled();
}

void QtModPrompts::doneWaiting()
{
    delete m_waiting;
}
