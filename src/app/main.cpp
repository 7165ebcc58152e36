#include "app/mdlVars.h"
#include "editor/frmTessary.h"

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tessary"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION));

    mdlVars vars;
    frmTessary window(vars, QCoreApplication::applicationDirPath());
    window.setDataFolder(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    window.Form_Load(QCoreApplication::arguments().value(1));
    window.show();
    return app.exec();
}
