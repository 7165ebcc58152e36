#pragma once

#include "mods/ModPrompts.h"

#include <QStringList>

// Answers the mod store's questions from a script and keeps what was asked.
class FakeModPrompts : public ModPrompts
{
public:
    bool answer = true;
    QString typed;

    QStringList questions;
    QStringList asked; // prompt and title of each input box
    QStringList errors;

    bool confirm(const QString &message) override
    {
        questions << message;
        return answer;
    }
    QString askText(const QString &prompt, const QString &title) override
    {
        asked << prompt << title;
        return typed;
    }
    void showError(const QString &message) override { errors << message; }
};
