#include "desktop/ScriptLine.h"

namespace {

// The console splits a line at white space, ";" and quotes, so a name
// holding one of them would not name one alias.
bool isAliasName(const QString &name)
{
    for (const QChar c : name) {
        if (c.isSpace() || c == u'"' || c == u';')
            return false;
    }
    return !name.isEmpty();
}

QString quoted(const QString &text)
{
    return u'"' + text + u'"';
}

} // namespace

Result<QString> ScriptLine(const ScriptChoice &choice)
{
    const Status noCommand = Status::failure(QStringLiteral("Pick a command."));
    if (choice.type == ScriptChoice::Type::Alias) {
        if (choice.aliasName.isEmpty())
            return Status::failure(QStringLiteral("Type a name for the alias."));
        if (!isAliasName(choice.aliasName))
            return Status::failure(QStringLiteral("An alias name cannot hold spaces, quotes or \";\"."));
        if (choice.command.isEmpty())
            return noCommand;
        return QStringLiteral("alias ") + choice.aliasName + u' ' + quoted(choice.command);
    }
    QString key = choice.key;
    if (key.endsWith(u' '))
        key.chop(1);
    if (key.isEmpty())
        return Status::failure(QStringLiteral("Pick a key."));
    if (choice.command.isEmpty())
        return noCommand;
    return QStringLiteral("bind ") + quoted(key) + u' ' + quoted(choice.command);
}
