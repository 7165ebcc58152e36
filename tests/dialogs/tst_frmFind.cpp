#include "../editor/FakePrompts.h"

#include "app/mdlVars.h"
#include "dialogs/frmFind.h"
#include "editor/RichTextBox.h"
#include "editor/frmTessary.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

class tst_frmFind : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<mdlVars> m_vars;
    std::unique_ptr<FakePrompts> m_prompts;
    std::unique_ptr<frmTessary> m_frm;

    frmFind *dialog() const { return m_frm->findChild<frmFind *>(); }
    template<typename T = QWidget>
    T *control(const char *name) const
    {
        return dialog()->findChild<T *>(QString::fromLatin1(name));
    }
    RichTextBox &box() { return m_frm->editBox(); }

    void search(const QString &phrase)
    {
        control<QLineEdit>("txtSearch")->setText(phrase);
        QTest::mouseClick(control("cmdFind"), Qt::LeftButton);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_vars = std::make_unique<mdlVars>();
        m_prompts = std::make_unique<FakePrompts>();
        m_frm = std::make_unique<frmTessary>(*m_vars, m_dir->path(), m_prompts.get());
        m_frm->Form_Load(QString());
        m_frm->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_frm.get()));
        box().setText(QStringLiteral("gamma 1\r\ncl_updaterate 20\r\nrate 1"));
        QAction *find = m_frm->findChild<QAction *>(QStringLiteral("mnuFind"));
        QVERIFY(find->isEnabled());
        find->trigger();
        QVERIFY(dialog() && dialog()->isVisible());
    }

    void cleanup() { m_frm.reset(); }

    void layout_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("Label1") << "Label1" << "Search For:" << QRect(17, 8, 65, 17);
        QTest::newRow("txtSearch") << "txtSearch" << "" << QRect(17, 24, 321, 19);
        QTest::newRow("cmdFind") << "cmdFind" << "Find" << QRect(408, 8, 81, 25);
        QTest::newRow("cmdCancel") << "cmdCancel" << "Cancel" << QRect(408, 40, 81, 25);
    }
    void layout()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QRect, geometry);
        QWidget *w = control(name.toLatin1());
        QCOMPARE(w->geometry(), geometry);
        QCOMPARE(w->property("text").toString(), text);
        QCOMPARE(dialog()->size(), QSize(503, 76));
        QCOMPARE(dialog()->windowTitle(), QStringLiteral("Find"));
        QVERIFY(dialog()->isWindow());
        QVERIFY(!(dialog()->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(control("txtSearch")->nextInFocusChain(), control("cmdFind"));
        QCOMPARE(control("cmdFind")->nextInFocusChain(), control("cmdCancel"));
    }

    void findSelectsTheFirstMatchEveryTime_data()
    {
        QTest::addColumn<QString>("phrase");
        QTest::addColumn<int>("found");
        QTest::newRow("at the first character") << "gamma" << 0;
        QTest::newRow("capitals, inside a longer word") << "RATE" << 18;
        QTest::newRow("missing") << "sensitivity" << -1;
    }
    void findSelectsTheFirstMatchEveryTime()
    {
        QFETCH(QString, phrase);
        QFETCH(int, found);
        box().setSelStart(30);
        for (int press = 1; press <= 2; ++press) {
            dialog()->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(dialog()));
            search(phrase);
            QCOMPARE(box().SelStart(), found >= 0 ? found : 30);
            QCOMPARE(box().SelLength(), found >= 0 ? int(phrase.size()) : 0);
            QVERIFY(dialog()->isVisible());
            QTRY_COMPARE(QApplication::activeWindow(), m_frm.get());
        }
        QCOMPARE(m_prompts->messages,
                 found >= 0 ? QStringList() : QStringList(2, QStringLiteral("Not Found: Could not find ") + phrase));
    }

    void enterAndEscPressNoButton()
    {
        dialog()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog()));
        control("txtSearch")->setFocus();
        QTest::keyClicks(control("txtSearch"), QStringLiteral("gamma"));
        QTest::keyClick(control("txtSearch"), Qt::Key_Return);
        QTest::keyClick(control("txtSearch"), Qt::Key_Escape);
        QCOMPARE(box().SelLength(), 0);
        QVERIFY(dialog()->isVisible());
        for (const char *name : {"cmdFind", "cmdCancel"})
            QVERIFY(!control<QPushButton>(name)->autoDefault() && !control<QPushButton>(name)->isDefault());
    }

    void cancelKeepsThePhraseAndClosingDiscardsIt()
    {
        control<QLineEdit>("txtSearch")->setText(QStringLiteral("rate"));
        QTest::mouseClick(control("cmdCancel"), Qt::LeftButton);
        QVERIFY(!dialog()->isVisible());
        m_frm->mnuFind_Click();
        QCOMPARE(control<QLineEdit>("txtSearch")->text(), QStringLiteral("rate"));

        dialog()->close();
        QTRY_VERIFY(!dialog());
        m_frm->mnuFind_Click();
        QCOMPARE(control<QLineEdit>("txtSearch")->text(), QString());
    }
};

QTEST_MAIN(tst_frmFind)
#include "tst_frmFind.moc"
