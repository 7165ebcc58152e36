#include "core/documents/FakePrompts.h"

#include "settings/mdlVars.h"
#include "gui/dialogs/frmFind.h"
#include "gui/dialogs/MatchMarks.h"
#include "gui/editbox/RichTextBox.h"
#include "gui/window/frmTessary.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
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

    // Each row: phrase, options, where the caret starts, the key or button
    // pressed three times, and where each press leaves the selection (-1: not
    // found). Where a search starts and wraps is tst_DocumentSearch's.
    void findKeys_data()
    {
        QTest::addColumn<QString>("phrase");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("wholeWord");
        QTest::addColumn<int>("caret");
        QTest::addColumn<bool>("enter");
        QTest::addColumn<QList<int>>("found");
        QTest::newRow("Enter goes on and wraps") << "RATE" << false << false << 0 << true << QList<int>{18, 27, 18};
        QTest::newRow("Find goes on") << "rate" << false << false << 0 << false << QList<int>{18, 27, 18};
        QTest::newRow("whole word") << "rate" << false << true << 0 << true << QList<int>{27, 27, 27};
        QTest::newRow("match case, missing") << "RATE" << true << false << 0 << true << QList<int>{-1, -1, -1};
    }
    void findKeys()
    {
        QFETCH(QString, phrase);
        QFETCH(bool, matchCase);
        QFETCH(bool, wholeWord);
        QFETCH(int, caret);
        QFETCH(bool, enter);
        QFETCH(QList<int>, found);
        box().setSelStart(caret);
        control<QLineEdit>("txtSearch")->setText(phrase);
        control<QCheckBox>("chkCase")->setChecked(matchCase);
        control<QCheckBox>("chkWord")->setChecked(wholeWord);
        for (const int at : found) {
            dialog()->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(dialog()));
            if (enter)
                QTest::keyClick(control("txtSearch"), Qt::Key_Return);
            else
                QTest::mouseClick(control("cmdFind"), Qt::LeftButton);
            QCOMPARE(box().SelStart(), at >= 0 ? at : caret);
            QCOMPARE(box().SelLength(), at >= 0 ? int(phrase.size()) : 0);
            QVERIFY(dialog()->isVisible());
            // Enter keeps the focus for the next Enter; the button hands it to the document.
            QTRY_COMPARE(QApplication::activeWindow(), enter ? static_cast<QWidget *>(dialog()) : m_frm.get());
        }
        QCOMPARE(m_prompts.messages.size(), found.count(-1));
        QCOMPARE(box().Text(), QStringLiteral("gamma 1\r\ncl_updaterate 20\r\nrate 1"));

        // F3 goes on with the same phrase and options.
        box().setSelStart(0);
        m_frm->mnuFindNext_Click(true);
        QCOMPARE(box().SelStart(), std::max(0, *std::min_element(found.begin(), found.end(), [](int a, int b) {
                     return unsigned(a) < unsigned(b); // the first match in the text; -1 last
                 })));
    }

    // While it is open every match is marked and counted; the one found is
    // brought into the view, and the dialog covers neither it, the menu nor
    // the hint line. Hidden, the marks go.
    void matchesMarkedCountedAndInSight_data()
    {
        QTest::addColumn<QString>("phrase");
        QTest::addColumn<int>("presses");
        QTest::addColumn<QString>("count");
        QTest::addColumn<int>("line"); // of the match, from 0
        QTest::newRow("third, far down") << "rate" << 3 << "3 of 4" << 150;
        QTest::newRow("none") << "fps_max" << 1 << "No matches" << 0;
    }
    void matchesMarkedCountedAndInSight()
    {
        QFETCH(QString, phrase);
        QFETCH(int, presses);
        QFETCH(QString, count);
        QFETCH(int, line);
        QStringList lines(200, QStringLiteral("echo"));
        lines[0] = QStringLiteral("gamma 1");
        for (const int at : {5, 120, 150, 199})
            lines[at] = QStringLiteral("rate 25000");
        box().setText(lines.join(QStringLiteral("\r\n")));
        box().setSelStart(0);
        m_frm->resize(700, 500);
        control<QLineEdit>("txtSearch")->setText(phrase);
        for (int i = 0; i < presses; ++i)
            QTest::mouseClick(control("cmdFind"), Qt::LeftButton);
        QCOMPARE(control<QLabel>("lblCount")->text(), count);
        using Sci = QsciScintillaBase;
        const int found = count.startsWith(u'N') ? 0 : 4;
        auto marked = [this] {
            int ranges = 0;
            for (long at = 0, end = box().SendScintilla(Sci::SCI_GETLENGTH); at < end;) {
                if (box().SendScintilla(Sci::SCI_INDICATORVALUEAT, MatchMarks::Indicator, at))
                    ++ranges;
                const long next = box().SendScintilla(Sci::SCI_INDICATOREND, MatchMarks::Indicator, at);
                at = next > at ? next : end;
            }
            return ranges;
        };
        QCOMPARE(marked(), found);
        const QRect dialogPlace = dialog()->frameGeometry();
        auto onScreen = [](QWidget *w) { return QRect(w->mapToGlobal(QPoint(0, 0)), w->size()); };
        QVERIFY(!dialogPlace.intersects(onScreen(m_frm->menuBar())));
        QVERIFY(!dialogPlace.intersects(onScreen(m_frm->findChild<QWidget *>(QStringLiteral("lblHint")))));
        if (found) {
            QCOMPARE(int(box().SendScintilla(Sci::SCI_LINEFROMPOSITION, box().SendScintilla(Sci::SCI_GETCURRENTPOS))), line);
            QVERIFY(onScreen(box().viewport()).contains(MatchMarks::selectionOnScreen(box()).center()));
            QVERIFY(!dialogPlace.intersects(MatchMarks::selectionOnScreen(box())));
        }
        QTest::mouseClick(control("cmdCancel"), Qt::LeftButton);
        QCOMPARE(marked(), 0);
    }

    // Beside a window narrower than itself, the dialog stays on the screen.
    void staysOnTheScreen()
    {
        m_frm->move(0, 0);
        m_frm->resize(250, m_frm->height());
        control<QLineEdit>("txtSearch")->setText(QStringLiteral("rate"));
        QTest::mouseClick(control("cmdFind"), Qt::LeftButton);
        const QRect screen = m_frm->screen()->availableGeometry();
        QTRY_VERIFY2(screen.contains(dialog()->frameGeometry()),
                     qPrintable(QStringLiteral("%1,%2").arg(dialog()->x()).arg(dialog()->y())));
    }

    // Escape hides the dialog (Cancel: matchesMarkedCountedAndInSight), searching nothing and keeping the
    // phrase; closed, it forgets it.
    void cancelKeepsThePhraseAndClosingDiscardsIt()
    {
        control<QLineEdit>("txtSearch")->setText(QStringLiteral("rate"));
        QTest::keyClick(control("txtSearch"), Qt::Key_Escape);
        QVERIFY(!dialog()->isVisible());
        QCOMPARE(box().SelLength(), 0);
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
