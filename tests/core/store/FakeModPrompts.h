#pragma once

#include "store/ModPrompts.h"

#include <QStringList>

// Answers the mod store's questions from a script and keeps what was asked.
class FakeModPrompts : public ModPrompts
{
public:
    bool answer = true;
    QList<bool> answers; // taken first, one per question, before `answer`
    QString typed;

    QStringList questions;
    QStringList asked; // prompt and title of each input box
    QStringList errors;
    QStringList told;
    QList<QStringList> listed; // the files of each copy shown before it is made
    bool copyAnswer = true;
    QList<QStringList> differences; // current and version text of each difference shown

    bool confirm(const QString &message) override
    {
        questions << message;
        return answers.isEmpty() ? answer : answers.takeFirst();
    }
    QString askText(const QString &prompt, const QString &title) override
    {
        asked << prompt << title;
        return typed;
    }
    void showError(const QString &message) override { errors << message; }
    bool confirmDifference(const QString &question, const QString &, const QString &current, const QString &,
                           const QString &version) override
    {
        differences << QStringList{current, version};
        return confirm(question);
    }
    bool confirmFiles(const QString &, const QStringList &files) override
    {
        listed << files;
        return copyAnswer;
    }
    void inform(const QString &message) override { told << message; }
};
