#pragma once

#include <QString>
#include <QStringList>

// What the document commands ask of the user. The window answers with
// dialogs; tests answer with scripts.
class Prompts
{
public:
    enum class SaveChoice { Save, Discard, Cancel };

    virtual ~Prompts() = default;

    // The chosen path, or an empty string when the user cancelled.
    virtual QString chooseOpenPath(const QString &title, const QStringList &filters, const QString &startPath) = 0;
    virtual QString chooseSavePath(const QString &title, const QStringList &filters, const QString &startPath) = 0;

    // Before the edited document is replaced or dropped; names it.
    virtual SaveChoice askSaveChanges(const QString &documentName) = 0;
    // Before several edited documents are dropped at once: Save All, Discard All or Cancel.
    virtual SaveChoice askSaveAll(const QStringList &documentNames) = 0;

    // Asked before a save that cannot keep every character; true to save anyway.
    virtual bool confirmSave(const QString &message) = 0;

    virtual void showError(const QString &message) = 0;

    // A question answered with Yes or No; true for Yes.
    virtual bool askYesNo(const QString &message) = 0;

    // Before opening a file with a line the edit box lays out very slowly; true to open it.
    virtual bool confirmSlowOpen(const QString &message) = 0;
    // The same before pasting such a line; true to paste it.
    virtual bool confirmSlowPaste(const QString &message) = 0;

    // Keeping work safe: files changed by other programs, copies kept against a crash.
    enum class RecoveryChoice { Restore, Discard, Later };
    // The open file was changed on disk; true to load it again.
    virtual bool askReload(const QString &message) = 0;
    // Before a save overwrites a file changed on disk; true to overwrite.
    virtual bool confirmOverwrite(const QString &message) = 0;
    virtual RecoveryChoice askRecover(const QString &message) = 0;
    virtual void inform(const QString &message) = 0;
    // A message box with one OK button and no icon; returns when it is closed.
    virtual void showMessage(const QString &title, const QString &message) = 0;
    // Go to Line: a line from 1 to last, offering current; 0 when cancelled.
    virtual int askLineNumber(int current, int last) = 0;
};
