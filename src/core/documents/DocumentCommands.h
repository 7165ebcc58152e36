#pragma once

#include "settings/Result.h"
#include "documents/Document.h"
#include "documents/RecoveryStore.h"
#include "editbox/TextForm.h"

#include <QString>

#include <functional>

class EditBox;
class Prompts;

// New, Open, Save and Save As on one document: an edit box's text and the
// Document it belongs to. Each tab of the window has its own.
//
// strFilename is set by Open, Save As and the command-line load; a document
// without one asks for a name at Save. Before the edited text is replaced the user is asked
// whether to save it; a file that cannot be read or written is reported.
class DocumentCommands
{
public:
    DocumentCommands(EditBox &box, Prompts &prompts);

    const Document &document() const { return m_doc; }
    const QString &fileName() const { return m_doc.strFilename; }

    // Each returns whether it did its work (false: cancelled or failed).
    bool save();
    bool saveAs();
    // Open: the window chose the file (dialog, recent files, a drop).
    bool openPath(const QString &path);

    // Loads the file named on the command line as the current file;
    // strips one pair of surrounding double quotes.
    void loadCommandLine(const QString &argument);

    // Asks about unsaved changes; false when the user cancels.
    bool maybeSave();

    // Called after Open, a reload, a restored recovery copy or the
    // command-line load has replaced the whole text (the box is then
    // unmodified, but for a restored copy): the undo history of the old text
    // no longer applies to the new one.
    void setDocumentReplacedHandler(std::function<void()> handler) { m_onReplaced = std::move(handler); }

    // Where Open and Save As start: the current file, else the folder last
    // chosen in, else the home folder.
    QString dialogStart() const;
    void setHomeFolder(const QString &folder) { m_homeFolder = folder; }
    // A file used in an earlier run, whose folder the dialogs start in before one is chosen.
    void setLastChosen(const QString &path) { m_dialogFileName = path; }
    const QString &lastChosen() const { return m_dialogFileName; }

    // Keeping work safe. The current file is remembered as it was on disk
    // at Open and after each Save; Save asks before overwriting a change.
    //
    // When the window becomes active: tells once about a change on disk,
    // offering to load the file again, or about its deletion.
    void checkDisk();
    // The editor itself replaced `path` on disk (a backup was restored):
    // when it is the open file, loads it again and tells `message`, asking
    // first when there are unsaved edits. Never told as another program's change.
    void reloadReplaced(const QString &path, const QString &message);

    // Without a store nothing is kept for recovery. Each document of a
    // session keeps its copy in a slot of its own.
    void setRecoveryStore(RecoveryStore *store, int slot = 0)
    {
        m_recovery = store;
        m_doc.recoverySlot = slot;
    }
    // Writes the recovery copy while the document has unsaved changes (in the
    // background: the store reports failures), removes it otherwise.
    void keepRecoveryCopy();
    // The program ends normally: the copy goes.
    void forgetRecoveryCopy();
    // Offers each copy left by an editor that did not end normally; a copy
    // the user restores goes to the document `place` gives (this one without it).
    void offerRecovery(const std::function<DocumentCommands &(const RecoveryStore::Copy &)> &place = {});
    // Puts a left copy's text and file into this document, asking about its
    // unsaved changes first; false when it did not.
    bool restore(const RecoveryStore::Copy &copy);
    // The session ends under the editor (shutdown, logout, a terminal
    // closed): the copy of unsaved work is written at once, before anything
    // else can be lost. With mayAsk the usual question follows, and an
    // answered question leaves no copy behind; false when the user cancels.
    bool endSession(bool mayAsk);

    // Before a paste: a line the box would lay out slowly is pasted only
    // when the user agrees.
    bool pasteAccepted(const QString &text);

    // Asked with the path Save As chose, before anything is written; false
    // cancels the Save As (the window: the file is open in another tab).
    void setSaveAsCheck(std::function<bool(const QString &)> check) { m_saveAsCheck = std::move(check); }
    // Called once a Save As has written the file and made it the current
    // one, whichever command saved (Save, Save As, a question at closing).
    void setSavedAsHandler(std::function<void()> handler) { m_onSavedAs = std::move(handler); }

    // For tests: the memory the computer can give, in bytes (-1: unknown).
    void setAvailableMemory(std::function<qint64()> available) { m_availableMemory = std::move(available); }

    // For tests: runs when a save in place has just emptied the file.
    void setTruncatedHook(std::function<void()> hook) { m_truncatedHook = std::move(hook); }

    // Edited, or its file was deleted on disk.
    bool unsaved() const;

private:
    // makeCurrent: on success the file becomes the current one (Save As).
    bool saveTo(const QString &path, bool makeCurrent = false);
    // A file whose longest line the box lays out slowly, or that takes more
    // than half the memory the computer can give, is opened only when the
    // user agrees; one that takes more than it can give is refused.
    bool openAccepted(const QString &path);
    void replaceText(QString text, const TextForm &form, bool modified = false);
    bool loadFile(const QString &path);

    Document m_doc;
    EditBox &m_box;
    Prompts &m_prompts;
    QString m_dialogFileName;
    QString m_homeFolder;
    RecoveryStore *m_recovery = nullptr;
    std::function<void()> m_onReplaced;
    std::function<void()> m_onSavedAs;
    std::function<void()> m_truncatedHook;
    std::function<bool(const QString &)> m_saveAsCheck;
    std::function<qint64()> m_availableMemory;
};
