#include "documents/DocumentCommands.h"

#include "documents/CommandLine.h"
#include "documents/DocumentFile.h"
#include "documents/OpenCost.h"
#include "editbox/EditBox.h"
#include "documents/Prompts.h"
#include "documents/RecoveryStore.h"
#include "documents/Texts.h"

#include <QDir>
#include <QFileInfo>
#include <QScopedValueRollback>

DocumentCommands::DocumentCommands(EditBox &box, Prompts &prompts)
    : m_box(box), m_prompts(prompts), m_homeFolder(QDir::homePath())
{
}

void DocumentCommands::replaceText(QString text, const TextForm &form, bool modified)
{
    m_box.setForm(form);
    m_box.setText(std::move(text));
    m_box.setModified(modified);
    if (m_onReplaced)
        m_onReplaced();
    m_doc.told = {};
    m_doc.fileMissing = false;
    if (m_recovery)
        m_recovery->remove(m_doc.recoverySlot);
}

bool DocumentCommands::openPath(const QString &path)
{
    if (!maybeSave())
        return false;
    m_dialogFileName = path;
    return loadFile(path);
}

bool DocumentCommands::loadFile(const QString &path)
{
    if (!openAccepted(path))
        return false;
    DiskStamp stamp;
    TextForm form;
    Result<QString> text = LoadDocument(path, &stamp, &form);
    if (!text) {
        m_prompts.showError(Texts::couldNotOpen(text.error()));
        return false;
    }
    replaceText(text.take(), form);
    m_doc.strFilename = path;
    m_doc.stamp = stamp;
    return true;
}

bool DocumentCommands::openAccepted(const QString &path)
{
    const qint64 available = m_availableMemory ? m_availableMemory() : availableMemory();
    // A file too large for memory is refused before it is read through.
    if (const qint64 least = OpenCost::leastMemory(QFileInfo(path).size()); available >= 0 && least > available) {
        m_prompts.showError(Texts::tooLargeToOpen(path, least, available));
        return false;
    }
    const OpenCost cost = OpenCost::ofFile(path);
    if (available >= 0 && cost.memory() > available) {
        m_prompts.showError(Texts::tooLargeToOpen(path, cost.memory(), available));
        return false;
    }
    const bool longLine = cost.longestLine > DocumentFile::SlowLineLength;
    if (!longLine && (available < 0 || cost.memory() <= available / 2))
        return true;
    return m_prompts.confirmSlowOpen(Texts::slowToOpen(path, longLine ? cost.longestLine : 0, cost.memory()));
}

bool DocumentCommands::pasteAccepted(const QString &text)
{
    qsizetype longest = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == u'\r' || text[i] == u'\n') {
            longest = qMax(longest, i - start);
            start = i + 1;
        }
    }
    return longest <= DocumentFile::SlowLineLength || m_prompts.confirmSlowPaste(Texts::slowToPaste(longest));
}

QString DocumentCommands::dialogStart() const
{
    if (!m_doc.strFilename.isEmpty())
        return CommandLine::shownName(m_doc.strFilename);
    if (!m_dialogFileName.isEmpty())
        return QFileInfo(m_dialogFileName).absolutePath();
    return m_homeFolder;
}

bool DocumentCommands::save()
{
    if (m_doc.strFilename.isEmpty())
        return saveAs();
    return saveTo(m_doc.strFilename);
}

bool DocumentCommands::saveAs()
{
    const QString path = m_prompts.chooseSavePath(QString::fromLatin1(Texts::SaveAsTitle), Texts::fileDialogFilters(),
                                                  dialogStart());
    if (path.isEmpty() || (m_saveAsCheck && !m_saveAsCheck(path)))
        return false;
    m_dialogFileName = path;
    // Save As switches to the new file, as every other editor does: leaving the
    // old name current sent the next Save's edits into the file the user left.
    if (!saveTo(path, true))
        return false;
    if (m_onSavedAs)
        m_onSavedAs();
    return true;
}

bool DocumentCommands::saveTo(const QString &path, bool makeCurrent)
{
    const QString text = m_box.Text();
    const TextForm form = m_box.form();
    if (form.encoding == TextForm::Encoding::Windows1252) {
        const DocumentFile::Unencodable bad = DocumentFile::firstUnencodable(text);
        if (bad.position >= 0 && !m_prompts.confirmSave(Texts::lossySave(bad.line, bad.character)))
            return false;
    }
    const bool current = path == m_doc.strFilename;
    if (current && m_doc.stamp.known && m_doc.stamp.check(path) == DiskStamp::Change::Changed
        && !m_prompts.confirmOverwrite(Texts::overwriteChanged(path)))
        return false;
    DiskStamp stamp;
    InPlaceSave inPlace;
    // A file written in place is empty for a moment: the text is kept where
    // the next start offers it back, until the file holds it.
    if (m_recovery && m_recovery->isOpen())
        inPlace.keepCopy = [&] {
            return m_recovery->write(path, current ? m_doc.stamp : DiskStamp(), text, m_doc.recoverySlot);
        };
    inPlace.truncated = m_truncatedHook;
    const Status saved = SaveDocument(path, text, &stamp, inPlace, form);
    if (!saved) {
        // What a write that failed midway left is this editor's doing, not another program's.
        if (current && m_doc.stamp.known)
            m_doc.stamp = DiskStamp::read(path);
        m_prompts.showError(Texts::couldNotSave(saved.error()));
        return false;
    }
    if (current || makeCurrent) {
        m_doc.strFilename = path;
        m_doc.stamp = stamp;
        m_doc.told = {};
        m_doc.fileMissing = false;
    }
    m_box.setModified(false);
    if (m_recovery)
        m_recovery->remove(m_doc.recoverySlot);
    return true;
}

void DocumentCommands::loadCommandLine(const QString &argument)
{
    QString path = argument;
    if (path.size() >= 2 && path.startsWith(u'"') && path.endsWith(u'"'))
        path = path.mid(1, path.size() - 2);
    if (path.isEmpty())
        return;
    m_dialogFileName = CommandLine::shownName(path);
    // Opened from the file manager, it is the current file as after Open.
    if (!loadFile(path))
        replaceText(QString(), TextForm::game());
}

bool DocumentCommands::unsaved() const
{
    return m_box.isModified() || m_doc.fileMissing;
}

bool DocumentCommands::maybeSave()
{
    if (!unsaved())
        return true;
    switch (m_prompts.askSaveChanges(Texts::documentName(m_doc.strFilename))) {
    case Prompts::SaveChoice::Save:
        return save();
    case Prompts::SaveChoice::Discard:
        return true;
    case Prompts::SaveChoice::Cancel:
        break;
    }
    return false;
}

void DocumentCommands::checkDisk()
{
    // The questions below take the focus away and give it back.
    if (m_doc.checking || m_doc.strFilename.isEmpty() || !m_doc.stamp.known)
        return;
    const QScopedValueRollback checking(m_doc.checking, true);
    const QString path = m_doc.strFilename;
    DiskStamp now;
    const DiskStamp::Change change = m_doc.stamp.check(path, &now);
    if (change == DiskStamp::Change::Same) {
        m_doc.stamp = now;
        return;
    }
    if (now == m_doc.told)
        return;
    m_doc.told = now;
    if (change == DiskStamp::Change::Deleted) {
        // Only this text is left: closing must not drop it unasked, even
        // after undoing back to what was saved.
        m_doc.fileMissing = true;
        keepRecoveryCopy();
        m_prompts.inform(Texts::deletedOnDisk(path));
        return;
    }
    // Loaded again as Open does, after asking about edits.
    if (m_prompts.askReload(Texts::changedOnDisk(path, m_box.isModified())) && maybeSave())
        loadFile(path);
}

void DocumentCommands::reloadReplaced(const QString &path, const QString &message)
{
    const QString open = QFileInfo(m_doc.strFilename).canonicalFilePath();
    if (m_doc.strFilename.isEmpty() || open.isEmpty() || open != QFileInfo(path).canonicalFilePath())
        return;
    const bool asked = m_box.isModified();
    if (asked && !m_prompts.askReload(message + QStringLiteral("\n\nLoad it now? Your unsaved changes would be lost."))) {
        // Kept as it is: the change on disk is known and not told again.
        m_doc.stamp.check(m_doc.strFilename, &m_doc.told);
        return;
    }
    if (loadFile(m_doc.strFilename) && !asked)
        m_prompts.inform(message);
}

void DocumentCommands::keepRecoveryCopy()
{
    if (!m_recovery)
        return;
    if (unsaved())
        m_recovery->writeInBackground(m_doc.strFilename, m_doc.stamp, m_box.textSnapshot(), m_doc.recoverySlot);
    else
        m_recovery->remove(m_doc.recoverySlot);
}

void DocumentCommands::forgetRecoveryCopy()
{
    if (m_recovery)
        m_recovery->remove(m_doc.recoverySlot);
}

bool DocumentCommands::endSession(bool mayAsk)
{
    if (m_recovery) {
        if (unsaved())
            m_recovery->write(m_doc.strFilename, m_doc.stamp, m_box.Text(), m_doc.recoverySlot);
        else
            m_recovery->remove(m_doc.recoverySlot);
    }
    if (!mayAsk)
        return true;
    if (!maybeSave())
        return false;
    forgetRecoveryCopy();
    return true;
}

void DocumentCommands::offerRecovery(const std::function<DocumentCommands &(const RecoveryStore::Copy &)> &place)
{
    if (!m_recovery)
        return;
    for (const RecoveryStore::Copy &copy : m_recovery->leftovers()) {
        switch (m_prompts.askRecover(Texts::recoveryOffer(copy.documentPath, copy.written))) {
        case Prompts::RecoveryChoice::Restore:
            if (!(place ? place(copy) : *this).restore(copy))
                m_recovery->release(copy);
            break;
        case Prompts::RecoveryChoice::Discard:
            m_recovery->discard(copy);
            break;
        case Prompts::RecoveryChoice::Later:
            m_recovery->release(copy);
            break;
        }
    }
    if (const QStringList unusable = m_recovery->takeUnusable(); !unusable.isEmpty())
        m_prompts.inform(Texts::recoveryUnusable(unusable));
}

bool DocumentCommands::restore(const RecoveryStore::Copy &copy)
{
    if (!m_recovery || !maybeSave())
        return false;
    // Modified from the start: no undo leads back to a saved state. The
    // copy keeps the text's line ends; the file, where it is still there,
    // tells how it is written.
    TextForm form = TextForm::game();
    if (!copy.documentPath.isEmpty() && QFileInfo::exists(copy.documentPath)
        && !LoadDocument(copy.documentPath, nullptr, &form))
        form = TextForm::game();
    form.lineBreak = LineBreaks::mostCommon(copy.text, form.finalBreak);
    replaceText(copy.text, form, true);
    m_doc.strFilename = copy.documentPath;
    // A change on disk since the crash is still asked about before Save overwrites it.
    m_doc.stamp = copy.stamp;
    // Kept under this session before the old copy goes.
    if (!m_recovery->write(m_doc.strFilename, m_doc.stamp, copy.text, m_doc.recoverySlot))
        return false;
    m_recovery->discard(copy);
    return true;
}
