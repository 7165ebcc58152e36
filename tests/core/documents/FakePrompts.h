#pragma once

#include "documents/Prompts.h"

#include <QStringList>

#include <functional>

// Answers the document commands' questions from a script and keeps what was asked.
class FakePrompts : public Prompts
{
public:
    QString openPath;     // empty: the dialog is cancelled
    QString savePath;
    SaveChoice saveChoice = SaveChoice::Cancel;
    bool saveAnyway = false;

    QStringList dialogTitles, dialogStartPaths;
    int saveChangesAsked = 0;
    std::function<void()> onAskSave; // runs while the question is up
    QStringList confirmations, errors;

    QString chooseOpenPath(const QString &title, const QStringList &, const QString &startPath) override
    {
        return dialog(title, startPath, openPath);
    }
    QString chooseSavePath(const QString &title, const QStringList &, const QString &startPath) override
    {
        return dialog(title, startPath, savePath);
    }
    QStringList saveChangesNames;
    SaveChoice askSaveChanges(const QString &documentName) override
    {
        ++saveChangesAsked;
        saveChangesNames << documentName;
        if (onAskSave)
            onAskSave();
        return saveChoice;
    }
    QList<QStringList> saveAllAsked;
    SaveChoice saveAllChoice = SaveChoice::Cancel;
    SaveChoice askSaveAll(const QStringList &documentNames) override
    {
        saveAllAsked << documentNames;
        return saveAllChoice;
    }
    bool confirmSave(const QString &message) override { return noted(confirmations, message, saveAnyway); }
    void showError(const QString &message) override { errors << message; }
    bool yes = false;
    QStringList yesNoAsked;
    bool askYesNo(const QString &message) override { return noted(yesNoAsked, message, yes); }
    bool openSlow = false;
    QStringList slowOpensAsked, slowPastesAsked;
    bool confirmSlowOpen(const QString &message) override { return noted(slowOpensAsked, message, openSlow); }
    bool confirmSlowPaste(const QString &message) override { return noted(slowPastesAsked, message, openSlow); }
    // Each as "title: message".
    QStringList messages;
    void showMessage(const QString &title, const QString &message) override { messages << title + QStringLiteral(": ") + message; }

    // Keeping work safe.
    bool reload = false;
    bool overwrite = false;
    RecoveryChoice recoveryChoice = RecoveryChoice::Later;
    QStringList reloadsAsked, overwritesAsked, recoveriesAsked, notices;
    bool askReload(const QString &message) override { return noted(reloadsAsked, message, reload); }
    bool confirmOverwrite(const QString &message) override { return noted(overwritesAsked, message, overwrite); }
    RecoveryChoice askRecover(const QString &message) override { return noted(recoveriesAsked, message, recoveryChoice); }
    void inform(const QString &message) override { notices << message; }
    int lineNumber = 0;
    int askLineNumber(int, int) override { return lineNumber; }

private:
    QString dialog(const QString &title, const QString &startPath, const QString &chosen)
    {
        dialogTitles << title;
        dialogStartPaths << startPath;
        return chosen;
    }
    template <typename Answer>
    static Answer noted(QStringList &asked, const QString &message, Answer answer)
    {
        asked << message;
        return answer;
    }
};
