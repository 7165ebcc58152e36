// Prints the data folder the program would use, and whether data.dat could
// be saved there, for tests that run it as another user.
#include "settings/DataFolder.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tessary"));
    const QString folder = DataFolder::forProgram(QCoreApplication::arguments().value(1));
    QTextStream(stdout) << folder << '\n' << (CheckSettingsWritable(folder) ? "saves" : "cannot save");
    return 0;
}
