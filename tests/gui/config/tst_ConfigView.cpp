#include "core/documents/FakePrompts.h"

#include "catalogue/Catalogue.h"
#include "config/ConfigAnalysis.h"
#include "settings/RecordFile.h"
#include "gui/config/ConfigWatcher.h"
#include "gui/editbox/RichTextBox.h"
#include "gui/window/frmTessary.h"
#include "settings/mdlVars.h"
#include "settings/RecordFile.h"
#include "catalogue/Catalogue.h"

#include <QApplication>
#include <QDir>
#include <QHelpEvent>
#include <QToolTip>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace {

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

// The configuration in the main window: the problem count, the Problems
// panel going to a line, F12 on an alias, and an alias of another file in
// the hint line.
class tst_ConfigView : public QObject
{
    Q_OBJECT

private slots:
    void problemsDefinitionsAndHint()
    {
        QTemporaryDir program;
        QTemporaryDir game;
        write(game.filePath("config.cfg"), "exec userconfig.cfg\r\n");
        write(game.filePath("userconfig.cfg"), "alias +jd \"+jump\"\r\n");
        const QByteArray autoexec = "echo a\r\nbind mouse9 +jd\r\nalias go \"echo b\"\r\ngo\r\nbind q +jd";
        write(game.filePath("autoexec.cfg"), autoexec);
        mdlVars vars;
        FakePrompts prompts;
        frmTessary window(vars, program.path(), &prompts);
        window.Form_Load(game.filePath("autoexec.cfg"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        RichTextBox &box = window.editBox();

        QLabel *count = nullptr;
        QTRY_VERIFY([&] {
            for (QLabel *label : window.findChildren<QLabel *>()) {
                if (label->accessibleName() == QLatin1String("Problems in the configuration"))
                    count = label;
            }
            return count && !count->text().isEmpty();
        }());
        QCOMPARE(count->text(), QStringLiteral("1 error"));

        // Choosing the problem puts the caret at the start of its line.
        window.findChild<QAction *>(QStringLiteral("mnuProblems"))->trigger();
        auto *list = window.findChild<QTreeWidget *>();
        QVERIFY(list);
        QTRY_COMPARE(list->topLevelItemCount(), 1);
        QVERIFY(list->topLevelItem(0)->text(2).contains("mouse9"));
        const QRect row = list->visualItemRect(list->topLevelItem(0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(box.SelStart(), int(autoexec.indexOf("bind mouse9")));

        // F12 on an alias the document defines goes to its line.
        box.setSelStart(int(autoexec.indexOf("go\r\nbind q")) + 1);
        window.findChild<QAction *>(QStringLiteral("mnuDefinition"))->trigger();
        QCOMPARE(box.SelStart(), int(autoexec.indexOf("alias go")));

        // The command a key runs, from another file, explained in the hint line.
        box.setSelStart(int(autoexec.size()));
        QCOMPARE(window.findChild<QLabel *>(QStringLiteral("lblHint"))->text(),
                 QStringLiteral("alias +jd: +jump (userconfig.cfg, line 1)"));

        // A quote just opened is no problem while the caret is in it; once
        // the caret leaves the line, it is.
        QTest::keyClick(&box, Qt::Key_Return);
        QTest::keyClicks(&box, "echo \"a; b");
        QTest::qWait(1500);
        QCOMPARE(count->text(), QStringLiteral("1 error"));
        box.setSelStart(0);
        QTRY_COMPARE(count->text(), QStringLiteral("2 errors"));
    }

    // Every open document of the folder takes part as it stands: an alias
    // typed into one tab and not saved is still known once another tab of
    // the folder comes forward.
    void unsavedTextOfAnotherTab()
    {
        QTemporaryDir program;
        // A catalogue, without which no name is told unknown.
        RecordFile catalogue;
        QVERIFY(catalogue.open(Catalogue::path(program.path())));
        QVERIFY(catalogue.write(Catalogue::record(0, Catalogue::Entries), QStringLiteral("test_only_command")));
        QVERIFY(catalogue.commit());
        QTemporaryDir game;
        write(game.filePath("config.cfg"), "exec userconfig.cfg\r\n");
        write(game.filePath("userconfig.cfg"), "test_only_command\r\n");
        write(game.filePath("autoexec.cfg"), "bind q go\r\n");
        mdlVars vars;
        FakePrompts prompts;
        frmTessary window(vars, program.path(), &prompts);
        window.Form_Load(game.filePath("autoexec.cfg"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *watcher = window.findChild<ConfigWatcher *>();
        QVERIFY(watcher);
        const auto problems = [&] {
            QStringList found;
            if (watcher->model()) {
                for (const ConfigProblem &problem : watcher->model()->problems)
                    found << problem.message.section(u':', 0, 0);
            }
            return found;
        };
        QTRY_COMPARE(problems(), QStringList{"go"});
        window.openFile(game.filePath("userconfig.cfg"));
        window.undoEngine().InsertText(QStringLiteral("alias go test_only_command\r\n"));
        window.setCurrentTab(0);
        QTRY_COMPARE(problems(), QStringList());
    }

    // The hint line: the catalogue's explanation first, then what applies at
    // start-up, for the caret on the value or the name, as the text reads
    // now; hovering says the same; a narrow line keeps the sentence for its
    // tooltip. A file in a subfolder has its game folder's configuration.
    void hintSaysWhatApplies()
    {
        QTemporaryDir program;
        QTemporaryDir game;
        {
            RecordFile catalogue;
            QVERIFY(catalogue.open(Catalogue::path(program.path())));
            QVERIFY(catalogue.write(Catalogue::record(0, 1), QStringLiteral("sensitivity")));
            QVERIFY(catalogue.write(Catalogue::record(2, 1), QStringLiteral("0-100")));
            QVERIFY(catalogue.write(Catalogue::record(3, 1), Catalogue::kindField(true, {})));
            QVERIFY(catalogue.write(Catalogue::record(4, 1), QStringLiteral("Mouse speed")));
            QVERIFY(catalogue.commit());
        }
        QVERIFY(QDir(game.path()).mkdir(QStringLiteral("cfg")));
        write(game.filePath("valve.rc"), "exec autoexec.cfg\r\n");
        write(game.filePath("autoexec.cfg"), "sensitivity 3\r\nalias buyak \"echo ak\"\r\nexec cfg/buy.cfg\r\n");
        write(game.filePath("cfg/buy.cfg"), "bind x buyak\r\n");
        mdlVars vars;
        FakePrompts prompts;
        frmTessary window(vars, program.path(), &prompts);
        window.Form_Load(game.filePath("autoexec.cfg"));
        window.resize(900, 400);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        RichTextBox &box = window.editBox();
        auto *hint = window.findChild<QLabel *>(QStringLiteral("lblHint"));
        const QString applies = QStringLiteral("and nothing later in the start-up order changes it: it applies.");
        box.setSelStart(13);
        QTRY_VERIFY2(hint->text().contains(applies), qPrintable(hint->text()));
        QVERIFY2(hint->text().startsWith(QStringLiteral("Mouse speed (Range: 0-100) () sensitivity 3 here")),
                 qPrintable(hint->text()));

        // Typed, the value is the new one at once, and after the analysis too.
        QTest::keyClicks(&box, QStringLiteral("0"));
        QVERIFY2(hint->text().startsWith(QStringLiteral("Mouse speed (Range: 0-100) () sensitivity 30 here")),
                 qPrintable(hint->text()));
        QTest::qWait(800);
        QTRY_VERIFY2(hint->text().contains(QStringLiteral("sensitivity 30 here, ") + applies), qPrintable(hint->text()));

        // On the name, and hovering it.
        box.setSelStart(3);
        QVERIFY2(hint->text().startsWith(QStringLiteral("Mouse speed (Range: 0-100) () sensitivity 30 here")),
                 qPrintable(hint->text()));
        using Sci = QsciScintillaBase;
        const QPoint on(int(box.SendScintilla(Sci::SCI_POINTXFROMPOSITION, 0UL, 3L)) + 2,
                        int(box.SendScintilla(Sci::SCI_POINTYFROMPOSITION, 0UL, 3L)) + 4);
        QHelpEvent help(QEvent::ToolTip, on, box.viewport()->mapToGlobal(on));
        QApplication::sendEvent(box.viewport(), &help);
        QTRY_VERIFY(QToolTip::isVisible());
        QVERIFY2(QToolTip::text().contains(QStringLiteral("Mouse speed")) && QToolTip::text().contains(applies),
                 qPrintable(QToolTip::text()));
        QToolTip::hideText();

        // Too narrow for both: the explanation stays, the sentence is in the tooltip.
        window.resize(360, 400);
        QTRY_COMPARE(hint->text(), QStringLiteral("Mouse speed (Range: 0-100) ()"));
        QVERIFY(hint->toolTip().contains(applies));

        // The file exec'd from a subfolder knows the aliases of its game folder.
        window.resize(900, 400);
        prompts.openPath = game.filePath("cfg/buy.cfg");
        window.mnuOpen_Click();
        window.editBox().setSelStart(10);
        QTRY_COMPARE(hint->text(), QStringLiteral("alias buyak: echo ak (autoexec.cfg, line 2)"));
    }
};

QTEST_MAIN(tst_ConfigView)
#include "tst_ConfigView.moc"
