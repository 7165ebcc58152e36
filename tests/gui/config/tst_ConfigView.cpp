#include "core/documents/FakePrompts.h"

#include "gui/editbox/RichTextBox.h"
#include "gui/window/frmTessary.h"
#include "settings/mdlVars.h"

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
};

QTEST_MAIN(tst_ConfigView)
#include "tst_ConfigView.moc"
