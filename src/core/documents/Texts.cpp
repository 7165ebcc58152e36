#include "documents/Texts.h"

#include "settings/FileName.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

namespace Texts {

namespace {

// A list of paths in a message stays readable however long it is: the first
// few, then how many more.
constexpr int PathsShown = 10;

QString shownPaths(const QStringList &paths)
{
    QStringList shown;
    for (qsizetype i = 0; i < paths.size() && i < PathsShown; ++i)
        shown << FileName::shownPath(paths[i]);
    if (paths.size() > PathsShown)
        shown << QStringLiteral("... and %1 more").arg(QLocale().toString(paths.size() - PathsShown));
    return shown.join(u'\n');
}

} // namespace

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

QString documentName(const QString &path)
{
    return path.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(FileName::shown(path)).fileName();
}

QString saveChanges(const QString &documentName)
{
    return QStringLiteral("%1 has been modified.\nDo you want to save your changes?").arg(documentName);
}

QString saveAllChanges(const QStringList &documentNames)
{
    return QStringLiteral("These documents have been modified:\n\n%1\n\nDo you want to save your changes?")
        .arg(documentNames.join(u'\n'));
}

QString sessionFilesMissing(const QStringList &paths)
{
    return QStringLiteral("%1 of the files open at the last closing could not be found, and were not opened:\n\n%2")
        .arg(QLocale().toString(paths.size()), shownPaths(paths));
}

QString commandLineFilesNotOpened(const QStringList &unusable, const QStringList &beyond, int limit)
{
    QStringList parts;
    if (!unusable.isEmpty())
        parts << QStringLiteral("%1 of the files named could not be found or are not files, and were not opened:\n\n%2")
                     .arg(QLocale().toString(unusable.size()), shownPaths(unusable));
    if (!beyond.isEmpty())
        parts << QStringLiteral("Tessary opens at most %1 more files at once from the command line; these %2 were "
                                "not opened:\n\n%3")
                     .arg(QLocale().toString(limit), QLocale().toString(beyond.size()), shownPaths(beyond));
    return parts.join(QStringLiteral("\n\n"));
}

QString windowTitle(const QString &path)
{
    if (path.isEmpty())
        return QStringLiteral("[*]") + QString::fromLatin1(AppTitle);
    // A literal "[*]" in a file name would be taken for the mark.
    return QStringLiteral("%1[*] - %2").arg(documentName(path).replace(QStringLiteral("[*]"), QStringLiteral("[**]")),
                                            QString::fromLatin1(AppTitle));
}

QString replacedCount(int count)
{
    return count == 1 ? QStringLiteral("Replaced 1 occurrence.") : QStringLiteral("Replaced %1 occurrences.").arg(count);
}

QString lineNumberLabel(int last)
{
    return QStringLiteral("Line number (1 to %1):").arg(last);
}

QString recentFileMissing(const QString &path)
{
    return QStringLiteral("%1 no longer exists; it is taken off the recent files.").arg(FileName::shownPath(path));
}

QString recentFileUnusable(const QString &reason)
{
    return QStringLiteral("%1\n\nIt is taken off the recent files.").arg(reason);
}

QString couldNotFind(const QString &searchText)
{
    // A pasted page of text would make a box taller than the screen.
    QString shown = searchText;
    if (shown.size() > NotFoundShownChars) {
        shown.truncate(NotFoundShownChars - (shown[NotFoundShownChars - 1].isHighSurrogate() ? 1 : 0));
        shown += u'\u2026';
    }
    return QStringLiteral("Could not find ") + shown;
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

QString importOffer(const QString &programFolder, const QString &dataFolder, const QStringList &mods)
{
    return QStringLiteral("Tessary cannot write to %1, so your mods and backups are now kept in %2, which is "
                          "still empty.\n\n%1 holds a data.dat with %3 mod(s): %4.\n\nCopy that data.dat and "
                          "the mods' backup folders to %2? The originals are left where they are.")
        .arg(QDir::toNativeSeparators(programFolder), QDir::toNativeSeparators(dataFolder))
        .arg(mods.size())
        .arg(mods.join(QStringLiteral(", ")));
}

QString modsLiveIn(const QString &dataFolder)
{
    return QStringLiteral("Mods and backups are kept in %1 from now on; the mods listed in the program folder's "
                          "data.dat are not shown.")
        .arg(QDir::toNativeSeparators(dataFolder));
}

QString importFailed(const QString &reason)
{
    return QStringLiteral("Not everything could be copied; the originals are still in place.\n\n%1").arg(reason);
}

QString slowToOpen(const QString &path, qsizetype lineLength, qint64 memory)
{
    const QString size = QLocale().formattedDataSize(memory, 0);
    if (lineLength == 0)
        return QStringLiteral("%1 will take about %2 of memory once opened, more than half of what this computer "
                              "has free.\n\nOpen it anyway?")
            .arg(FileName::shownPath(path), size);
    return QStringLiteral("%1 has a line of %2 characters. Lines this long are laid out slowly: opening the file, "
                          "and every change to that line, may keep Tessary busy for seconds. Opened, it takes about "
                          "%3 of memory.\n\nOpen it anyway?")
        .arg(FileName::shownPath(path), QLocale().toString(qint64(lineLength)), size);
}

QString tooLargeToOpen(const QString &path, qint64 memory, qint64 available)
{
    return QStringLiteral("%1 cannot be opened: it would take about %2 of memory, and this computer has %3 free.")
        .arg(FileName::shownPath(path), QLocale().formattedDataSize(memory, 0),
             QLocale().formattedDataSize(available, 0));
}

QString slowToPaste(qsizetype lineLength)
{
    return QStringLiteral("The text to paste has a line of %1 characters. Lines this long are laid out slowly: the "
                          "paste, and every change to that line, may keep Tessary busy for seconds.\n\nPaste it "
                          "anyway?")
        .arg(QLocale().toString(qint64(lineLength)));
}

QString caretPlace(int line, int column)
{
    return QStringLiteral("Line %1, Column %2").arg(QLocale().toString(line), QLocale().toString(column));
}

QString changedOnDisk(const QString &path, bool edited)
{
    return QStringLiteral("%1 has been changed by another program.\n\nReload it%2, or keep the text you have here?")
        .arg(FileName::shownPath(path), edited ? QStringLiteral(" (you will be asked about your unsaved changes first)") : QString());
}

QString deletedOnDisk(const QString &path)
{
    return QStringLiteral("%1 has been deleted by another program.\n\nYour text is still here: Save writes the file again.")
        .arg(FileName::shownPath(path));
}

QString replaceOpenFile(const QString &path)
{
    return QStringLiteral("%1 is open in another tab with unsaved changes.\n\n"
                          "Replace it with this document and close that tab? Its changes will be lost.")
        .arg(FileName::shownPath(path));
}

QString overwriteChanged(const QString &path)
{
    return QStringLiteral("%1 has been changed by another program since you opened or saved it.\n\n"
                          "Save your text over those changes?")
        .arg(FileName::shownPath(path));
}

QString recoveryOffer(const QString &path, const QDateTime &written)
{
    const QString name = path.isEmpty() ? QStringLiteral("An unnamed document") : FileName::shownPath(path);
    return QStringLiteral("Tessary did not close normally. %1 had unsaved changes, kept at %2.\n\n"
                          "Restore them, or discard them? Later offers them again at the next start.")
        .arg(name, QLocale().toString(written.toLocalTime(), QLocale::ShortFormat));
}

QString recoveryUnusable(const QStringList &copies)
{
    const QString what = copies.size() == 1
        ? QStringLiteral("A copy of unsaved changes left by an earlier run could not be used (damaged, or naming "
                         "something that is not a file), and was removed:")
        : QStringLiteral("%1 copies of unsaved changes left by an earlier run could not be used (damaged, or naming "
                         "something that is not a file), and were removed:")
              .arg(QLocale().toString(copies.size()));
    return what + QStringLiteral("\n\n") + shownPaths(copies);
}

QString recoveryNotKept(const QString &reason)
{
    return QStringLiteral("Unsaved changes cannot be kept for recovery after a crash, so save often.\n\n%1").arg(reason);
}

} // namespace Texts
