#include "editor/Texts.h"

namespace Texts {

QStringList fileDialogFilters()
{
    const QStringList parts = QString::fromLatin1(FileFilter).split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString &display = parts[i];
        const QString &pattern = parts[i + 1];
        // The dialog takes its patterns from the parentheses of the text.
        filters << (display.contains(u'(' + pattern + u')') ? display : display + QStringLiteral(" (") + pattern + u')');
    }
    return filters;
}

QString couldNotFind(const QString &searchText)
{
    return QStringLiteral("Could not find ") + searchText;
}

QString couldNotOpen(const QString &reason)
{
    return QStringLiteral("The file could not be opened.\n\n%1").arg(reason);
}

QString couldNotSave(const QString &reason)
{
    return QStringLiteral("The file was not saved.\n\n%1").arg(reason);
}

QString settingsNotSaved(const QString &reason)
{
    return QStringLiteral("Your mod settings cannot be saved, so mods and backups added in this session "
                          "will be forgotten when Tessary closes. You can go on editing files.\n\n%1")
        .arg(reason);
}

QString lossySave(int line, const QString &character)
{
    const char32_t code = QStringView(character).toUcs4().value(0);
    return QStringLiteral("Line %1 holds the character \"%2\" (U+%3), which a Windows-1252 file cannot "
                          "store. Every such character will be written as \"?\".\n\nSave anyway?")
        .arg(line)
        .arg(character)
        .arg(QString::number(code, 16).toUpper().rightJustified(4, u'0'));
}

} // namespace Texts
