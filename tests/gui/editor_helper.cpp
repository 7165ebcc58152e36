// Runs the editor window in a process of its own, for tests that need
// another user or a process they can kill.
//
//   editor_helper type <program folder> <text>...   the editor as started from the desktop,
//                                                   typing each text in a tab of its own
//                                                   (then prints "typed") and running
//                                                   until killed
//   editor_helper restore <program folder>          starts the editor, restores what is
//                                                   offered and prints each tab's text
//
// The editors keep their copies where the program does (the user's data folder).
// Document code that needs no window runs in core/documents/document_helper.

#include "core/documents/FakePrompts.h"

#include "settings/mdlVars.h"
#include "gui/editbox/RichTextBox.h"
#include "gui/window/frmTessary.h"
#include "gui/session/SessionEnd.h"

#include <QApplication>
#include <QStandardPaths>
#include <QStringList>
#include <QTest>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString mode = args.value(1);
    if (!(mode == QLatin1String("type") && args.size() >= 4) && !(mode == QLatin1String("restore") && args.size() == 3)) {
        std::fprintf(stderr, "usage: editor_helper type <folder> <text>... | restore <folder>\n");
        return 2;
    }
    QCoreApplication::setApplicationName(QStringLiteral("Tessary"));
    mdlVars vars;
    FakePrompts prompts;
    prompts.recoveryChoice = Prompts::RecoveryChoice::Restore;
    frmTessary window(vars, args[2], &prompts);
    window.setDataFolder(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    window.Form_Load(QString());
    new SessionEnd(window);
    window.show();
    QCoreApplication::processEvents();
    if (mode == QLatin1String("type")) {
        for (qsizetype i = 3; i < args.size(); ++i) {
            if (i > 3)
                window.mnuNew_Click();
            QTest::keyClicks(&window.editBox(), args[i]);
        }
        std::printf("typed\n");
        std::fflush(stdout);
        return app.exec();
    }
    std::printf("%lld offered\n", static_cast<long long>(prompts.recoveriesAsked.size()));
    for (int tab = 0; tab < window.tabCount(); ++tab)
        std::printf("%s\n", window.editBox(tab).Text().toUtf8().constData());
    return 0;
}
