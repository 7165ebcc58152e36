#pragma once

#include <QString>

#include <functional>

// Where data.dat, the mods' backup folders and "temp" live. commands.dat is
// always read from the program folder.
namespace DataFolder {

// The install puts this file beside the program. An installed copy keeps its
// data in the user's folder even when root runs it, so the program folder
// holds only what the package or install put there and removes cleanly.
inline constexpr char InstalledMarker[] = "installed";

using IsWritable = std::function<bool(const QString &folder)>;

// Whether a file can be created in the folder right now (probed, so
// read-only mounts and access lists count too).
bool canWrite(const QString &folder);

// The program folder when it is writable and not installed (a build tree, a
// portable copy);
// otherwise the user's folder, created on first use; when neither can be
// written, the program folder, so the caller's own check reports it.
QString choose(const QString &programFolder, const QString &userFolder, const IsWritable &isWritable = canWrite);

// choose() with the user's application data folder of the running program.
QString forProgram(const QString &programFolder);

} // namespace DataFolder
