#pragma once

#include "config/ConfigAnalysis.h"
#include "config/ProblemRules.h"
#include "settings/Result.h"

#include <QString>
#include <QStringList>

class KnownCommands;
class QTextStream;

// `tessary check PATH...`: the configuration's problems without a window,
// one line each as compilers print them, or JSON for tools. Files or game
// folders; the catalogue is read from the program folder.
namespace ConfigCheck {

struct Options
{
    QStringList paths;
    bool json = false;
    ProblemWeight least = ProblemWeight::Notice; // --min
    QStringList accepted;                        // --accept: names that are fine
    bool help = false;
};

// The arguments after "check"; a failure says what is wrong with them.
Result<Options> parse(const QStringList &arguments);

// The exit status for problems of these weights: 0 for none worse than a
// notice, 1 with warnings, 2 with errors.
int exitStatus(bool warnings, bool errors);
// A path that cannot be read.
inline constexpr int Unreadable = 3;
// The arguments were wrong.
inline constexpr int Usage = 64;

QString usage();

// What a check of one path finds: the analysis of its game folder, every
// config of the folder taking part (a jump script a bind execs, a server's
// map configs), and the file asked about, or empty for the whole folder.
struct Checked
{
    ConfigModel model;
    QString only;
    QStringList unreadable; // why, for each file that could not be read
};
// `path` is absolute and names an existing file or folder.
Checked analyze(const QString &path, const KnownCommands &known, const QStringList &accepted);

// Checks the paths and writes the problems to `out`, what went wrong to
// `err`; returns the exit status. `currentFolder` is where paths are
// printed from.
int run(const Options &options, const QString &programFolder, const QString &currentFolder, QTextStream &out,
        QTextStream &err);

} // namespace ConfigCheck
