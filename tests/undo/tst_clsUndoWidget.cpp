#include "RandomEdits.h"

#include "editor/MemoryClipboard.h"
#include "editor/MemoryEditBox.h"
#include "editor/RichTextBox.h"
#include "editor/VirtualKey.h"
#include "undo/clsUndo.h"

#include <QInputMethodEvent>
#include <QTest>

// The engine on the real widget, driven by real key and input-method events.
class tst_clsUndoWidget : public QObject
{
    Q_OBJECT

    MemoryClipboard m_clipboard;
    std::unique_ptr<RichTextBox> m_widget;
    std::unique_ptr<clsUndo> m_undo;

    void start(const QString &text)
    {
        m_widget->setText(text);
        m_widget->setModified(false);
        m_undo->Reset();
    }

    void commit(const QString &text, int replaceFrom = 0, int replaceLength = 0)
    {
        QInputMethodEvent event;
        event.setCommitString(text, replaceFrom, replaceLength);
        QCoreApplication::sendEvent(m_widget.get(), &event);
    }

    void undoAll()
    {
        while (m_undo->canUndo())
            m_undo->undo();
    }

private slots:
    void init()
    {
        m_widget = std::make_unique<RichTextBox>(m_clipboard);
        m_widget->resize(300, 200);
        m_widget->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_widget.get()));
        m_undo = std::make_unique<clsUndo>();
        m_undo->setRichBox(m_widget.get());
    }

    void cleanup()
    {
        m_undo.reset();
        m_widget.reset();
    }

    void keysAreRecordedAsTheWidgetActs_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("after");
        QTest::newRow("letters, punctuation, keypad") << "Ab:;\"7" << "Ab:;\"7x";
        QTest::newRow("Enter and Backspace over the break") << "a\r\b\bb" << "bx";
        QTest::newRow("Tab") << "\ta\t" << "\ta\tx";
    }
    void keysAreRecordedAsTheWidgetActs()
    {
        QFETCH(QString, typed);
        start(QStringLiteral("x"));
        for (const QChar c : typed) {
            if (c == u'\r')
                QTest::keyClick(m_widget.get(), Qt::Key_Return);
            else if (c == u'\b')
                QTest::keyClick(m_widget.get(), Qt::Key_Backspace);
            else if (c == u'\t')
                QTest::keyClick(m_widget.get(), Qt::Key_Tab);
            else if (c == u'7')
                QTest::keyClick(m_widget.get(), Qt::Key_7, Qt::KeypadModifier);
            else
                QTest::keyClicks(m_widget.get(), QString(c));
        }
        QTEST(m_widget->Text(), "after");
        QCOMPARE(m_undo->UndoCount(), int(typed.size()));
        const QString after = m_widget->Text();
        for (int i = 0; i < typed.size(); ++i)
            QTest::keyClick(m_widget.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(m_widget->Text(), QStringLiteral("x"));
        for (int i = 0; i < typed.size(); ++i)
            QTest::keyClick(m_widget.get(), Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(m_widget->Text(), after);
    }

    void inputMethodTextIsRecorded()
    {
        start(QStringLiteral("abc"));
        m_widget->setSelStart(3);
        commit(QStringLiteral("\u00e9\u4e2d"));
        commit(QStringLiteral("X"), -2, 1); // replaces the "\u00e9"
        commit(QString(), -1, 1);           // deletes the "X"
        QCOMPARE(m_widget->Text(), QStringLiteral("abc\u4e2d"));
        QCOMPARE(m_undo->UndoCount(), 3);
        undoAll();
        QCOMPARE(m_widget->Text(), QStringLiteral("abc"));
    }

    void keysThatWouldEditUnrecordedAreStopped()
    {
        start(QStringLiteral("abc"));
        QTest::keyClick(m_widget.get(), Qt::Key_A, Qt::AltModifier);
        QTest::keyClick(m_widget.get(), Qt::Key_Insert);
        QTest::keyClicks(m_widget.get(), QStringLiteral("x"));
        QCOMPARE(m_widget->Text(), QStringLiteral("xabc"));
        QVERIFY(!m_widget->overwriteMode());
        QCOMPARE(m_undo->UndoCount(), 1);
    }

    // Random real events on the widget and the same on the in-memory box:
    // both hold the same text and selection at every step, and the history
    // gives back every earlier text exactly. SEED=n replays a failure.
    void widgetAgreesWithMemoryBox()
    {
        const quint32 seed = qEnvironmentVariableIsSet("SEED") ? quint32(qEnvironmentVariableIntValue("SEED")) : 2026;
        QRandomGenerator random(seed);
        MemoryClipboard modelClipboard;
        MemoryEditBox model(modelClipboard, 12);
        clsUndo modelUndo;
        modelUndo.setRichBox(&model);
        for (int run = 0; run < 600; ++run) {
            const QString first = QStringLiteral("bind \"w\" \"+forward\"\r\nfps_max 120\r\n\r\nx");
            start(first);
            model.setText(first);
            model.setModified(false);
            modelUndo.Reset();
            HistoryCheck history(first);
            for (int step = 0; step < 40; ++step) {
                const EditAction action = randomEditAction(random, model.TextLength());
                const QByteArray where = QStringLiteral("seed %1 run %2 step %3 after %4")
                                             .arg(seed).arg(run).arg(step).arg(action.describe()).toUtf8();
                if (!applyCommonAction(action, *m_undo, *m_widget)) {
                    if (action.kind == EditAction::Commit)
                        commit(action.text);
                    else
                        QTest::sendKeyEvent(QTest::Click, m_widget.get(), action.key, action.text, action.modifiers);
                }
                if (!applyCommonAction(action, modelUndo, model)) {
                    if (action.kind == EditAction::Commit)
                        model.commitText(action.text);
                    else
                        model.pressKey(VirtualKey::fromQtKey(action.key, action.modifiers),
                                       VirtualKey::shiftState(action.modifiers), action.text);
                }
                QVERIFY2(m_widget->Text() == model.Text(), where);
                QVERIFY2(m_widget->SelStart() == model.SelStart() && m_widget->SelLength() == model.SelLength(), where + QStringLiteral(" %1+%2 vs %3+%4 in %5").arg(m_widget->SelStart()).arg(m_widget->SelLength()).arg(model.SelStart()).arg(model.SelLength()).arg(model.Text()).toUtf8());
                const QString problem = history.afterStep(*m_undo, m_widget->Text(), action.movesHistory());
                QVERIFY2(problem.isEmpty(), where + ": " + problem.toUtf8());
            }
            while (m_undo->canUndo()) {
                m_undo->undo();
                QVERIFY2(history.afterStep(*m_undo, m_widget->Text(), true).isEmpty(), qPrintable(QString::number(seed)));
            }
            QCOMPARE(m_widget->Text(), first);
            while (m_undo->canRedo()) {
                m_undo->Redo();
                QVERIFY2(history.afterStep(*m_undo, m_widget->Text(), true).isEmpty(), qPrintable(QString::number(seed)));
            }
        }
    }
};

QTEST_MAIN(tst_clsUndoWidget)
#include "tst_clsUndoWidget.moc"
