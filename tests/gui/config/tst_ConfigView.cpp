#include "core/documents/FakePrompts.h"

#include "catalogue/Catalogue.h"
#include "config/ConfigAnalysis.h"
#include "settings/RecordFile.h"
#include "gui/config/ConfigWatcher.h"
#include "gui/editbox/RichTextBox.h"
#include "gui/window/frmTessary.h"
#include "settings/mdlVars.h"

#include "FileHelpers.h"

#include <QAction>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace {

// A program folder whose catalogue holds the records given, and a window
// started on a file of a game folder.
struct Window
{
    QTemporaryDir program;
    mdlVars vars;
    FakePrompts prompts;
    std::unique_ptr<frmTessary> window;

    void start(const QString &file, const QList<std::pair<int, QString>> &catalogue = {})
    {
        if (!catalogue.isEmpty()) {
            RecordFile records;
            QVERIFY(records.open(Catalogue::path(program.path())));
            for (const auto &[record, text] : catalogue)
                QVERIFY(records.write(record, text));
            QVERIFY(records.commit());
        }
        window = std::make_unique<frmTessary>(vars, program.path(), &prompts);
        window->Form_Load(file);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
};

} // namespace

// The configuration in the main window: the problem count, the Problems
// panel going to a line, F12 on an alias (an alias of another file in the
// hint line: tst_CaretHint).
class tst_ConfigView : public QObject
{
    Q_OBJECT

private slots:
    void problemsDefinitionsAndHint()
    {
        QTemporaryDir game;
        writeAll(game.filePath("config.cfg"), "exec userconfig.cfg\r\n");
        writeAll(game.filePath("userconfig.cfg"), "alias +jd \"+jump\"\r\n");
        const QByteArray autoexec = "echo a\r\nbind mouse9 +jd\r\nalias go \"echo b\"\r\ngo\r\nbind q +jd";
        writeAll(game.filePath("autoexec.cfg"), autoexec);
        Window started;
        started.start(game.filePath("autoexec.cfg"));
        frmTessary &window = *started.window;
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

        // A quote just opened is no problem while the caret is in it; once
        // the caret leaves the line, it is.
        box.setSelStart(int(autoexec.size()));
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
        QTemporaryDir game;
        writeAll(game.filePath("config.cfg"), "exec userconfig.cfg\r\n");
        writeAll(game.filePath("userconfig.cfg"), "test_only_command\r\n");
        writeAll(game.filePath("autoexec.cfg"), "bind q go\r\n");
        Window started;
        // A catalogue, without which no name is told unknown.
        started.start(game.filePath("autoexec.cfg"),
                      {{Catalogue::record(0, Catalogue::Entries), QStringLiteral("test_only_command")}});
        frmTessary &window = *started.window;
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
    // now; a narrow line keeps the sentence for its
    // tooltip (which file a folder's configuration takes in: tst_GameFolder).
    void hintSaysWhatApplies()
    {
        QTemporaryDir game;
        writeAll(game.filePath("valve.rc"), "exec autoexec.cfg\r\n");
        writeAll(game.filePath("autoexec.cfg"), "sensitivity 3\r\n");
        Window started;
        started.start(game.filePath("autoexec.cfg"),
                      {{Catalogue::record(0, 1), QStringLiteral("sensitivity")},
                       {Catalogue::record(2, 1), QStringLiteral("0-100")},
                       {Catalogue::record(3, 1), Catalogue::kindField(true, {})},
                       {Catalogue::record(4, 1), QStringLiteral("Mouse speed")}});
        frmTessary &window = *started.window;
        window.resize(900, 400);
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

        // Too narrow for both: the explanation stays, the sentence is in the tooltip.
        window.resize(360, 400);
        QTRY_COMPARE(hint->text(), QStringLiteral("Mouse speed (Range: 0-100) ()"));
        QVERIFY(hint->toolTip().contains(applies));
    }
};

QTEST_MAIN(tst_ConfigView)
#include "tst_ConfigView.moc"
