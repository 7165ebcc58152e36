#pragma once

#include "settings/StoreLock.h"

#include <QString>
#include <QStringList>

// What the mod store and its dialogs ask or tell the user. The dialogs answer
// with message and input boxes; tests answer from a script.
class ModPrompts : public StoreLock::Waiter
{
public:
    ~ModPrompts() override = default;

    // A yes-or-no question; true for yes.
    virtual bool confirm(const QString &message) = 0;

    // The typed text, or an empty one when the user cancelled.
    virtual QString askText(const QString &prompt, const QString &title) = 0;

    virtual void showError(const QString &message) = 0;

    // Lists the files an add or a backup is about to copy; true to go ahead.
    virtual bool confirmFiles(const QString &message, const QStringList &files) = 0;

    // Shows how the file now in the mod folder differs from the version a
    // restore would put there, then asks `question`; true to go ahead.
    virtual bool confirmDifference(const QString &question, const QString &currentTitle, const QString &current,
                                   const QString &versionTitle, const QString &version) = 0;

    // Tells what was done, or what to do first.
    virtual void inform(const QString &message) = 0;

    // The store's lock, made on another computer, is taken over when the
    // user says so; a wait for an editor here goes on unless given up.
    bool takeOver(const QString &message) override
    {
        return confirm(message + QStringLiteral("\n\nTake the lock over?"));
    }
    bool keepWaiting(const QString &, int) override { return true; }
};
