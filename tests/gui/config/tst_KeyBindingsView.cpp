#include "core/documents/FakePrompts.h"

#include "completion/BindMap.h"
#include "gui/editbox/RichTextBox.h"
#include "gui/window/frmTessary.h"
#include "settings/mdlVars.h"
#include "config/KnownCommands.h"
#include "catalogue/Catalogue.h"
#include "gui/config/KeyBindingsView.h"
#include "gui/config/KeyboardPicture.h"
#include "gui/dialogs/MatchMarks.h"

#include "FileHelpers.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenu>
#include <QTimer>
#include <QImage>
#include <QSignalSpy>
#include <QTextBrowser>
#include <QTemporaryDir>
#include <QDockWidget>
#include <QTest>

// The picture offscreen: what each key says to a screen reader and a
// tooltip, what a click chooses, and the PNG it saves.
class tst_KeyBindingsView : public QObject
{
    Q_OBJECT

private slots:
    // A command's name on a key shows whole: smaller, then plain, then on
    // two lines, never a word and its last letter.
    void labelsFit_data()
    {
        QTest::addColumn<QString>("label");
        for (const char *label : {"jump", "cancelselect", "buy_m4a1", "slot10_12345", "forward"})
            QTest::newRow(label) << QString::fromLatin1(label);
    }
    void labelsFit()
    {
        QFETCH(QString, label);
        QFont font;
        font.setPointSizeF(6.75);
        font.setBold(true);
        const QSizeF box(35, 26);
        const QStringList lines = KeyCap::fitted(label, font, box);
        QCOMPARE(lines.join(QString()), label);
        for (const QString &line : lines)
            QVERIFY2(QFontMetricsF(font).horizontalAdvance(line) <= box.width() && (lines.size() == 1 || line.size() > 2),
                     qPrintable(lines.join(u'/')));
        QVERIFY(lines.size() * QFontMetricsF(font).height() <= box.height() + 1);
    }

    void smoke()
    {
        Catalogue catalogue;
        const CatalogueCommands known(catalogue);
        BindMapBuilder builder(known);
        const BindMap map = builder.build("/game/autoexec.cfg", "bind F1 +forward\nbind MOUSE1 +attack\n"
                                                                "bind F1 \"say gg\"\nbind MWHEELUP invprev\n");
        KeyBindingsView view;
        view.setMap(map, "autoexec.cfg alone");
        view.resize(1100, 420);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        KeyboardPicture &picture = view.picture();
        // Named by the key, with what it runs as its description.
        QCOMPARE(picture.cap("F1")->accessibleName(), "F1");
        QCOMPARE(picture.cap("F1")->accessibleDescription(),
                 "F1: bound to say gg (autoexec.cfg, line 3), bound 2 times");
        QCOMPARE(picture.cap("F2")->accessibleDescription(), "F2: free");
        QVERIFY(picture.cap("MWHEELUP"));
        // Every control has a name a screen reader can say.
        for (const KeyCap *cap : picture.caps())
            QVERIFY2(!cap->accessibleName().isEmpty(), qPrintable(cap->face()));
        // A click selects a key, the arrow keys its neighbour.
        QSignalSpy selected(&picture, &KeyboardPicture::keySelected);
        QTest::mouseClick(picture.cap("F1"), Qt::LeftButton);
        QTest::keyClick(picture.cap("F1"), Qt::Key_Right);
        QCOMPARE(selected.value(1).value(0).toString(), "F2");
        // The saved picture is the whole picture, its title and legend with the keys.
        QTemporaryDir dir;
        QVERIFY(view.savePicture(dir.filePath("binds.png")));
        QCOMPARE(QImage(dir.filePath("binds.png")).size(), view.fullPicture().size());
    }

    // View > Key Bindings in the main window: the configuration's binds, a
    // click going to the bind's line, and the picture following an edit.
    void inTheMainWindow()
    {
        QTemporaryDir program;
        QTemporaryDir game;
        writeAll(game.filePath("autoexec.cfg"), "echo hi\r\nbind q +attack\r\n");
        writeAll(game.filePath("config.cfg"), "bind w +forward\r\nbind q +jump\r\n");
        mdlVars vars;
        FakePrompts prompts;
        frmTessary window(vars, program.path(), &prompts);
        window.Form_Load(game.filePath("autoexec.cfg"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.findChild<QAction *>("mnuCompletion")->isChecked());
        // Floating beside the small window, the picture leaves the text its
        // room beside the Problems dock.
        window.resize(700, 500);
        window.findChild<QAction *>("mnuProblems")->trigger();
        const int textHeight = window.editBox().height();
        window.findChild<QAction *>("mnuKeyBindings")->trigger();
        QVERIFY2(window.editBox().height() >= qMax(textHeight * 9 / 10, 40), qPrintable(QString::number(window.editBox().height())));
        auto *picture = window.findChild<KeyboardPicture *>();
        QVERIFY(picture);
        QTRY_COMPARE(picture->cap("w")->accessibleDescription(), "W: bound to +forward (config.cfg, line 1)");
        // config.cfg runs after autoexec.cfg: its bind of q wins.
        QVERIFY(picture->cap("q")->toolTip().contains("+jump\" (config.cfg, line 2): wins"));

        RichTextBox &box = window.editBox();
        box.setSelStart(box.TextLength());
        // The box keeps the text without the file's last line break.
        if (!box.Text().endsWith("\r\n"))
            QTest::keyClick(&box, Qt::Key_Return);
        QTest::keyClicks(&box, "bind F5 +duck");
        QTRY_COMPARE(picture->cap("F5")->accessibleDescription(), "F5: bound to +duck (autoexec.cfg, line 3)");
        // Selecting a key shows what it does, frame by frame.
        QTest::mouseClick(picture->cap("q"), Qt::LeftButton);
        auto *trace = window.findChild<QTextBrowser *>("txtKeyTrace");
        QVERIFY(trace);
        QTRY_VERIFY2(trace->toPlainText().contains("Frame 1:"), qPrintable(trace->toPlainText()));
        QVERIFY(trace->toPlainText().contains("+jump"));
        // Floating beside a window too small for the keys and the text both,
        // it leaves the line a double-click goes to in sight.
        auto *dock = window.findChild<QDockWidget *>("frmKeyBindings");
        QVERIFY(dock->isFloating());
        box.setSelStart(0);
        QTest::mouseDClick(picture->cap("F5"), Qt::LeftButton);
        QCOMPARE(box.SelStart(), int(box.Text().indexOf("bind F5")));
        const QRect line = MatchMarks::selectionOnScreen(box);
        QTRY_VERIFY(QRect(box.viewport()->mapToGlobal(QPoint(0, 0)), box.viewport()->size()).contains(line.center()));
        QTRY_VERIFY(!dock->frameGeometry().intersects(line));

        // A free key double-clicked offers "Bind this key...": the bind goes to the end of
        // userconfig.cfg, opened in its tab, as one undo step.
        QTimer::singleShot(0, this, [] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY(menu);
            QCOMPARE(menu->actions().value(0)->text(), QStringLiteral("&Bind this key..."));
            QTimer::singleShot(200, [] {
                auto *ask = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
                QVERIFY(ask);
                ask->setTextValue(QStringLiteral("say \"gg\"; wait"));
                ask->accept();
            });
            QTest::keyClick(menu, Qt::Key_Down);
            QTest::keyClick(menu, Qt::Key_Return);
        });
        QTest::mouseDClick(picture->cap("F6"), Qt::LeftButton);
        QTRY_COMPARE(window.editBox().Text(), QStringLiteral("bind F6 \"say 'gg'; wait\"\r\n"));
        QVERIFY(window.windowTitle().contains(QStringLiteral("userconfig.cfg")));
        QVERIFY(QFileInfo::exists(game.filePath("userconfig.cfg")));
        window.findChild<QAction *>(QStringLiteral("mnuUndo"))->trigger();
        QCOMPARE(window.editBox().Text(), QString());
    }
};

QTEST_MAIN(tst_KeyBindingsView)
#include "tst_KeyBindingsView.moc"
