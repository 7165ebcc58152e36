#pragma once

#include "settings/Result.h"

#include <QStringList>

#include <functional>

// The file types Tessary opens and how it becomes the user's default
// application for them.
namespace FileTypes {

struct FileType
{
    const char *extension; // without the dot
    const char *mimeType;
    // Shared with every other program's files of that kind (all plain text,
    // all PostScript): changed only when the user asks for it by name.
    bool generic = false;
    const char *description = "";
};

// In the order of the file dialog's filter. The game's own types carry
// MIME types installed with the program; .txt and .ps have common ones.
const QList<FileType> &all();

// The installed desktop entry's file name.
inline constexpr char DesktopEntry[] = "tessary.desktop";

struct CommandOutcome
{
    bool started = false;
    int exitCode = -1;
    QString errorOutput;
};
using CommandRunner = std::function<CommandOutcome(const QString &program, const QStringList &arguments)>;

// Runs a program to its end, with a time limit.
CommandOutcome runCommand(const QString &program, const QStringList &arguments);

// Makes the installed entry the user's default for the chosen types with
// "xdg-mime default". installedEntry is the entry's path, empty when
// Tessary is not installed. The result is one line for the user.
Result<QString> associate(const QString &installedEntry, const QList<FileType> &chosen, const CommandRunner &run);

} // namespace FileTypes
