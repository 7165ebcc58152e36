#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// The main window's own texts, each defined once.
namespace Texts {

inline constexpr char AppTitle[] = "Tessary";

inline constexpr char OpenTitle[] = "Open File...";
inline constexpr char SaveAsTitle[] = "Save as...";
// Display text and pattern, in pairs.
inline constexpr char FileFilter[] =
    "Config Files (*.cfg)|*.cfg|(*.lst)|*.lst|(*.fgd)|*.fgd|(*.gam)|*.gam|(*.txt)|*.txt|(*.ps)|*.ps|All Files (*.*)|*.*";

inline constexpr char SaveTip[] = "Saves currently open file";
inline constexpr char OpenTip[] = "Opens a file";
inline constexpr char UndoTip[] = "Undo the last change made";
inline constexpr char RedoTip[] = "Redo the last undo";
inline constexpr char SearchTip[] = "Search for a phrase in the text";
inline constexpr char SearchLabel[] = "Quick Search:";

// The document by its file name, "Untitled" before it has one.
QString documentName(const QString &path);
QString saveChanges(const QString &documentName);
// Closing the window with several modified documents: one question naming them all.
QString saveAllChanges(const QStringList &documentNames);
// Files of the last session that are gone, skipped at start.
QString sessionFilesMissing(const QStringList &paths);
// Files named on the command line that were not opened: missing or not
// regular files, and those beyond the `limit` opened at once. Empty when none.
QString commandLineFilesNotOpened(const QStringList &unusable, const QStringList &beyond, int limit);
// The file's name, the modified mark Qt fills in, and the program's name.
QString windowTitle(const QString &path);

inline constexpr char NotFoundTitle[] = "Not Found";
// The search text shown is cut to this many characters and "\u2026".
inline constexpr int NotFoundShownChars = 100;
QString couldNotFind(const QString &searchText);

// Find Next, Replace and Go to Line.
inline constexpr char WrappedToStart[] = "Passed the end of the document; continued from the start.";
inline constexpr char WrappedToEnd[] = "Passed the start of the document; continued from the end.";
QString replacedCount(int count);
inline constexpr char GoToLineTitle[] = "Go to Line";
QString lineNumberLabel(int last);
QString recentFileMissing(const QString &path);
// A recent entry that is now a folder, a pipe or a device.
QString recentFileUnusable(const QString &reason);

// The file dialog's filters, first one selected when it opens.
QStringList fileDialogFilters();

QString couldNotOpen(const QString &reason);
QString couldNotSave(const QString &reason);
// Save As onto a file open in another tab whose changes are unsaved.
QString replaceOpenFile(const QString &path);
QString settingsNotSaved(const QString &reason);
QString lossySave(int line, const QString &character);
QString importOffer(const QString &programFolder, const QString &dataFolder, const QStringList &mods);
QString modsLiveIn(const QString &dataFolder);
QString importFailed(const QString &reason);
// lineLength 0: the file is asked about for its memory alone.
QString slowToOpen(const QString &path, qsizetype lineLength, qint64 memory);
QString tooLargeToOpen(const QString &path, qint64 memory, qint64 available);
QString slowToPaste(qsizetype lineLength);
// The status bar's "Line 12, Column 5".
QString caretPlace(int line, int column);

// Keeping work safe.
inline constexpr char ReloadButton[] = "Reload";
inline constexpr char PasteButton[] = "&Paste";
inline constexpr char KeepButton[] = "Keep My Text";
inline constexpr char RestoreButton[] = "Restore";
inline constexpr char LaterButton[] = "Later";
QString changedOnDisk(const QString &path, bool edited);
QString deletedOnDisk(const QString &path);
QString overwriteChanged(const QString &path);
QString recoveryOffer(const QString &path, const QDateTime &written);
// Copies that could not be offered and were taken away.
QString recoveryUnusable(const QStringList &copies);
QString recoveryNotKept(const QString &reason);

} // namespace Texts
