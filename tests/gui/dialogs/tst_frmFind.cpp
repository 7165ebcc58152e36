#include "core/documents/FakePrompts.h"

#include "settings/mdlVars.h"
#include "gui/dialogs/frmFind.h"
#include "gui/RichTextBox.h"
#include "gui/frmTessary.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

class tst_frmFind : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    mdlVars m_vars;
    FakePrompts m_prompts;
    std::unique_ptr<frmTessary> m_frm;

    frmFind *dialog() const { return m_frm->findChild<frmFind *>(); }
    template<typename T = QWidget>
    T *control(const char *name) const { return dialog()->findChild<T *>(QString::fromLatin1(name)); }
    RichTextBox &box() { return m_frm->editBox(); }

private slots:
    void init()
    {
        m_prompts.messages.clear();
        m_frm = std::make_unique<frmTessary>(m_vars, m_dir.path(), &m_prompts);
        m_frm->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_frm.get()));
        box().setText(QStringLiteral("gamma 1\r\ncl_updaterate 20\r\nrate 1"));
        QAction *find = m_frm->findChild<QAction *>(QStringLiteral("mnuFind"));
        QVERIFY(find->isEnabled());
        find->trigger();
        QVERIFY(dialog() && dialog()->isVisible());
    }
    void cleanup() { m_frm.reset(); }

    void tabOrderAndNoDefaultButton()
    {
        QCOMPARE(control("txtSearch")->nextInFocusChain(), control("cmdFind"));
        QCOMPARE(control("cmdFind")->nextInFocusChain(), control("cmdCancel"));
        // Enter and Esc press no button.
        QVERIFY(!control<QPushButton>("cmdFind")->autoDefault() && !control<QPushButton>("cmdCancel")->autoDefault());
    }

    void findSelectsTheFirstMatchEveryTime_data()
    {
        QTest::addColumn<QString>("phrase");
        QTest::addColumn<int>("found");
        QTest::newRow("capitals, inside a longer word") << "RATE" << 18;
        QTest::newRow("missing") << "sensitivity" << -1;
    }
    void findSelectsTheFirstMatchEveryTime()
    {
        QFETCH(QString, phrase);
        QFETCH(int, found);
        box().setSelStart(30);
        control<QLineEdit>("txtSearch")->setText(phrase);
        for (int press = 1; press <= 2; ++press) {
            dialog()->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(dialog()));
            QTest::mouseClick(control("cmdFind"), Qt::LeftButton);
            QCOMPARE(box().SelStart(), found >= 0 ? found : 30);
            QCOMPARE(box().SelLength(), found >= 0 ? int(phrase.size()) : 0);
            QVERIFY(dialog()->isVisible());
            QTRY_COMPARE(QApplication::activeWindow(), m_frm.get());
        }
        QCOMPARE(m_prompts.messages.size(), found >= 0 ? 0 : 2);
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
