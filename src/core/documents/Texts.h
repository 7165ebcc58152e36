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

inline constexpr char SaveChanges[] = "The document has been modified.\nDo you want to save your changes?";

inline constexpr char NotFoundTitle[] = "Not Found";
QString couldNotFind(const QString &searchText);

// The file dialog's filters, first one selected when it opens.
QStringList fileDialogFilters();

QString couldNotOpen(const QString &reason);
QString couldNotSave(const QString &reason);
QString settingsNotSaved(const QString &reason);
QString lossySave(int line, const QString &character);

// Keeping work safe.
inline constexpr char ReloadButton[] = "Reload";
inline constexpr char KeepButton[] = "Keep My Text";
inline constexpr char RestoreButton[] = "Restore";
inline constexpr char LaterButton[] = "Later";
QString changedOnDisk(const QString &path, bool edited);
QString deletedOnDisk(const QString &path);
QString overwriteChanged(const QString &path);
QString recoveryOffer(const QString &path, const QDateTime &written);
QString recoveryNotKept(const QString &reason);

} // namespace Texts
