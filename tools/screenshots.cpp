// Shows each window of Tessary in turn and saves it as a PNG, so the layouts
// can be looked at without starting the editor by hand. Run it through
// tools/screenshots.sh, which starts a virtual X server.
#include "settings/mdlVars.h"
#include "gui/dialogs/FileTypeChooser.h"
#include "gui/mods/QtModPrompts.h"
#include "gui/dialogs/frmAbout.h"
#include "gui/mods/frmAddmod.h"
#include "gui/dialogs/frmAss.h"
#include "gui/dialogs/frmCatalogue.h"
#include "gui/mods/frmBrowse.h"
#include "gui/dialogs/frmFind.h"
#include "gui/dialogs/frmScriptwiz.h"
#include "gui/mods/frmSettings.h"
#include "gui/editbox/RichTextBox.h"
#include "gui/window/frmTessary.h"

// The tests' scripted answers: nobody is there to answer questions; they end as "cancel".
#include "core/documents/FakePrompts.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <functional>

namespace {

// What a window needs to be built: the main window is the parent of the rest.
struct Scene
{
    Scene(frmTessary &window, mdlVars &state, const QString &folder)
        : main(window), vars(state), dataFolder(folder), modPrompts(&window)
    {
    }
    frmTessary &main;
    mdlVars &vars;
    QString dataFolder;
    QtModPrompts modPrompts;
    QLineEdit browseTarget;
};

struct Shot
{
    const char *file;
    std::function<QWidget *(Scene &)> make;
};

// The settings dialog with one mod and its backed-up file selected.
QWidget *settingsWithAMod(Scene &s)
{
    s.vars.strModName[0] = QStringLiteral("ns");
    s.vars.strModDir[0] = QDir::tempPath() + QStringLiteral("/ns");
    s.vars.strBackupFile[0] = QStringLiteral("config.cfg");
    s.vars.strBackupMod[0] = QStringLiteral("ns");
    QDir(s.dataFolder).mkpath(QStringLiteral("ns"));
    QFile copy(s.dataFolder + QStringLiteral("/ns/config.cfg"));
    copy.open(QIODevice::WriteOnly);
    auto *dialog = new frmSettings(s.vars, s.dataFolder, s.modPrompts, {}, &s.main);
    dialog->findChild<QListWidget *>(QStringLiteral("lstMods"))->setCurrentRow(0);
    dialog->findChild<QListWidget *>(QStringLiteral("lstFiles"))->setCurrentRow(0);
    return dialog;
}

// One line per window. The main window is shown first and stays open.
const QList<Shot> &shots()
{
    static const QList<Shot> list = {
        {"frmAbout", [](Scene &s) { return new frmAbout(QCoreApplication::applicationVersion(), {}, &s.main); }},
        {"frmScriptwiz", [](Scene &s) { return new frmScriptwiz({}, &s.main); }},
        {"frmAss", [](Scene &s) { return new frmAss({}, {}, &s.main); }},
        {"frmSettings", settingsWithAMod},
        {"FileTypeChooser", [](Scene &s) { return new FileTypeChooser(&s.main); }},
        {"frmCatalogue", [](Scene &s) { return new frmCatalogue({QStringLiteral("bxt")}, {{QStringLiteral("engine"), 345}}, &s.main); }},
        {"frmAddmod", [](Scene &s) { return new frmAddmod(s.vars, s.dataFolder, s.modPrompts, {}, nullptr, &s.main); }},
        {"frmBrowse", [](Scene &s) { return new frmBrowse(&s.browseTarget, s.modPrompts, &s.main); }},
        {"frmFind", [](Scene &s) { return new frmFind(&s.main, {}); }},
    };
    return list;
}

bool save(QWidget *window, const QString &path)
{
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        return false;
    QTest::qWait(200);
    const bool saved = window->grab().save(path);
    QTextStream(stdout) << (saved ? "wrote " : "could not write ") << QDir::toNativeSeparators(path) << '\n';
    return saved;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tessary"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION));
    const QString out = QCoreApplication::arguments().value(1, QStringLiteral("screenshots"));
    if (!QDir().mkpath(out))
        return 1;

    // The build's own folder for commands.dat; data.dat goes to a scratch folder.
    QTemporaryDir data;
    mdlVars vars;
    FakePrompts prompts;
    frmTessary main(vars, QStringLiteral(TESSARY_PROGRAM_BUILD_DIR), data.path(), &prompts);
    main.Form_Load(QString());
    main.editBox().setText(QStringLiteral("// autoexec.cfg\r\nbind \"MOUSE1\" \"+attack\"\r\nsensitivity 3\r\ngamma"));
    bool ok = save(&main, out + QStringLiteral("/frmTessary.png"));

    for (QAction *menu : main.menuBar()->actions()) {
        menu->menu()->popup(main.mapToGlobal(QPoint(0, 0)));
        ok = save(menu->menu(), out + QStringLiteral("/menu-%1.png").arg(menu->text())) && ok;
        menu->menu()->hide();
    }

    Scene scene(main, vars, data.path());
    for (const Shot &shot : shots()) {
        QWidget *window = shot.make(scene);
        ok = save(window, out + u'/' + QString::fromLatin1(shot.file) + QStringLiteral(".png")) && ok;
        window->hide();
        delete window;
    }
    return ok ? 0 : 1;
}
