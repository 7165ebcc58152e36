#pragma once

#include "settings/Result.h"

#include <QString>

// The console line the Script Wizard writes.
struct ScriptChoice
{
    enum class Type { Bind, Alias };
    Type type = Type::Bind;
    QString key;       // as listed, with its trailing space; used by Bind
    QString aliasName; // used by Alias
    QString command;
};

// bind "<key>" "<command>" or alias <name> "<command>", without a line
// break; or what is still missing, as a short hint.
Result<QString> ScriptLine(const ScriptChoice &choice);
