// Prints the data folder the program would use, for tests that run it as
// another user.
#include "app/DataFolder.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tessary"));
    QTextStream(stdout) << DataFolder::forProgram(QCoreApplication::arguments().value(1));
    return 0;
}
