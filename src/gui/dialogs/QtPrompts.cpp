#include "gui/dialogs/QtPrompts.h"

#include "documents/Texts.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

namespace {

QString choosePath(QWidget *parent, QFileDialog::AcceptMode mode, const QString &title, const QStringList &filters,
                   const QString &startPath)
{
    QFileDialog dialog(parent, title);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    QtPrompts::setFileFilters(dialog, filters);
    // A folder to start in, or a file to start at.
    if (QFileInfo(startPath).isDir())
        dialog.setDirectory(startPath);
    else if (!startPath.isEmpty())
        dialog.selectFile(startPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

void QtPrompts::setFileFilters(QFileDialog &dialog, const QStringList &filters)
{
    // The dialog hides the last "(...)" of each filter and matches its
    // patterns, so the caption keeps its own and the patterns follow it.
    static const QRegularExpression patternsAtEnd(QStringLiteral("\\(([^()]*)\\)$"));
    QStringList withPatterns;
    for (const QString &caption : filters) {
        QStringList patterns = patternsAtEnd.match(caption).captured(1).split(u' ', Qt::SkipEmptyParts);
        for (QString &pattern : patterns) {
            if (pattern == u"*.*")
                pattern = QStringLiteral("*");
        }
        withPatterns << caption + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(withPatterns);
    dialog.selectNameFilter(withPatterns.value(0));
}

QString QtPrompts::chooseOpenPath(const QString &title, const QStringList &filters, const QString &startPath)
{
    return choosePath(m_parent, QFileDialog::AcceptOpen, title, filters, startPath);
}

QString QtPrompts::chooseSavePath(const QString &title, const QStringList &filters, const QString &startPath)
{
    return choosePath(m_parent, QFileDialog::AcceptSave, title, filters, startPath);
}

Prompts::SaveChoice QtPrompts::askSaveChanges(const QString &documentName)
{
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(Texts::AppTitle), Texts::saveChanges(documentName),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, m_parent);
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save: return SaveChoice::Save;
    case QMessageBox::Discard: return SaveChoice::Discard;
    default: return SaveChoice::Cancel;
    }
}

Prompts::SaveChoice QtPrompts::askSaveAll(const QStringList &documentNames)
{
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(Texts::AppTitle), Texts::saveAllChanges(documentNames),
                    QMessageBox::Cancel, m_parent);
    QPushButton *save = box.addButton(QObject::tr("Save All"), QMessageBox::AcceptRole);
    QPushButton *discard = box.addButton(QObject::tr("Discard All"), QMessageBox::DestructiveRole);
    box.setDefaultButton(save);
    box.exec();
    if (box.clickedButton() == save)
        return SaveChoice::Save;
    if (box.clickedButton() == discard)
        return SaveChoice::Discard;
    return SaveChoice::Cancel;
}

bool QtPrompts::confirmSave(const QString &message)
{
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(Texts::AppTitle), message,
                    QMessageBox::Save | QMessageBox::Cancel, m_parent);
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Save;
}

bool QtPrompts::askYesNo(const QString &message)
{
    return QMessageBox::question(m_parent, QString::fromLatin1(Texts::AppTitle), message) == QMessageBox::Yes;
}

bool QtPrompts::confirmSlowOpen(const QString &message)
{
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(Texts::AppTitle), message,
                    QMessageBox::Open | QMessageBox::Cancel, m_parent);
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Open;
}

// The button says what it does: the text is pasted, not opened.
bool QtPrompts::confirmSlowPaste(const QString &message)
{
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(Texts::AppTitle), message, QMessageBox::Cancel,
                    m_parent);
    QPushButton *paste = box.addButton(QString::fromLatin1(Texts::PasteButton), QMessageBox::AcceptRole);
    box.setDefaultButton(QMessageBox::Cancel);
    box.exec();
    return box.clickedButton() == paste;
}

void QtPrompts::showError(const QString &message)
{
    QMessageBox::warning(m_parent, QString::fromLatin1(Texts::AppTitle), message);
}

bool QtPrompts::askReload(const QString &message)
{
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(Texts::AppTitle), message, QMessageBox::NoButton,
                    m_parent);
    QPushButton *reload = box.addButton(QString::fromLatin1(Texts::ReloadButton), QMessageBox::AcceptRole);
    box.setDefaultButton(box.addButton(QString::fromLatin1(Texts::KeepButton), QMessageBox::RejectRole));
    box.exec();
    return box.clickedButton() == reload;
}

bool QtPrompts::confirmOverwrite(const QString &message)
{
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(Texts::AppTitle), message,
                    QMessageBox::Save | QMessageBox::Cancel, m_parent);
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Save;
}

Prompts::RecoveryChoice QtPrompts::askRecover(const QString &message)
{
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(Texts::AppTitle), message, QMessageBox::NoButton,
                    m_parent);
    QPushButton *restore = box.addButton(QString::fromLatin1(Texts::RestoreButton), QMessageBox::AcceptRole);
    QPushButton *discard = box.addButton(QMessageBox::Discard);
    box.setDefaultButton(restore);
    // Closing the box decides nothing: the copy is offered again next time.
    box.setEscapeButton(box.addButton(QString::fromLatin1(Texts::LaterButton), QMessageBox::RejectRole));
    box.exec();
    if (box.clickedButton() == restore)
        return RecoveryChoice::Restore;
    return box.clickedButton() == discard ? RecoveryChoice::Discard : RecoveryChoice::Later;
}

void QtPrompts::inform(const QString &message)
{
    QMessageBox::information(m_parent, QString::fromLatin1(Texts::AppTitle), message);
}

void QtPrompts::showMessage(const QString &title, const QString &message)
{
    QMessageBox box(QMessageBox::NoIcon, title, message, QMessageBox::Ok, m_parent);
    box.exec();
}

int QtPrompts::askLineNumber(int current, int last)
{
    bool ok = false;
    const int line = QInputDialog::getInt(m_parent, QString::fromLatin1(Texts::GoToLineTitle),
                                          Texts::lineNumberLabel(last), current, 1, last, 1, &ok);
    return ok ? line : 0;
}
