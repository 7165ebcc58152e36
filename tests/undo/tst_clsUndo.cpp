#include "RandomEdits.h"

#include "editor/MemoryClipboard.h"
#include "editor/MemoryEditBox.h"
#include "editor/RichText.h"
#include "editor/VirtualKey.h"
#include "undo/ScrollToLine.h"
#include "undo/clsUndo.h"

#include <QSignalSpy>
#include <QTest>

class tst_clsUndo : public QObject
{
    Q_OBJECT

    MemoryClipboard m_clipboard;
    std::unique_ptr<MemoryEditBox> m_box;
    std::unique_ptr<clsUndo> m_undo;
    int m_painting = 0;     // suspended now: 1, else 0
    int m_paintPairs = 0;   // suspend and resume pairs seen

    MemoryEditBox &box() { return *m_box; }

    void start(const QString &text, int selStart = 0, int selLength = 0)
    {
        box().setText(text);
        box().setModified(false);
        m_undo->Reset();
        box().setSelStart(selStart);
        box().setSelLength(selLength);
    }

    void key(int code, int shift = 0, const QString &text = {}) { box().pressKey(code, shift, text); }
    void type(const QString &text)
    {
        for (const QChar c : text)
            key(c.toUpper().unicode(), c.isUpper() ? 1 : 0, c);
    }

private slots:
    void init()
    {
        m_clipboard.Clear();
        m_box = std::make_unique<MemoryEditBox>(m_clipboard, 5);
        m_undo = std::make_unique<clsUndo>();
        m_undo->setWindowHooks({[this](bool suspend) {
                                    QVERIFY(m_painting == (suspend ? 0 : 1));
                                    m_painting = suspend ? 1 : 0;
                                    m_paintPairs += suspend;
                                },
                                {}});
        m_undo->setRichBox(m_box.get());
        m_paintPairs = 0;
    }

    void cleanup() { QCOMPARE(m_painting, 0); }

    // One key on a box holding "abcde\r\nfg": the element, then undo and redo.
    void recordsWhatTheKeyDoes_data()
    {
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selLength");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("shift");
        QTest::addColumn<QString>("keyText");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("newLength");
        QTest::addColumn<int>("oldLength");
        QTest::addColumn<QString>("oldText");
        QTest::addColumn<QString>("newText");
        QTest::addColumn<bool>("isDeletion");
        QTest::addColumn<QString>("after");
        QTest::newRow("letter") << 5 << 0 << 65 << 0 << "a" << 5 << 1 << 0 << "" << "a" << false << "abcdea\r\nfg";
        QTest::newRow("shifted letter") << 5 << 0 << 65 << 1 << "A" << 5 << 1 << 0 << "" << "A" << false << "abcdeA\r\nfg";
        QTest::newRow("punctuation by its text") << 0 << 0 << int(VirtualKey::Oem1) << 1 << ":" << 0 << 1 << 0 << "" << ":" << false << ":abcde\r\nfg";
        QTest::newRow("AltGr") << 1 << 0 << 81 << 6 << "@" << 1 << 1 << 0 << "" << "@" << false << "a@bcde\r\nfg";
        QTest::newRow("Enter") << 2 << 0 << 13 << 0 << "\r" << 2 << 2 << 0 << "" << "\r\n" << false << "ab\r\ncde\r\nfg";
        QTest::newRow("Shift+Enter") << 2 << 0 << 13 << 1 << "\r" << 2 << 2 << 0 << "" << "\r\n" << false << "ab\r\ncde\r\nfg";
        QTest::newRow("keypad 7") << 0 << 0 << 103 << 0 << "7" << 0 << 1 << 0 << "" << "7" << false << "7abcde\r\nfg";
        QTest::newRow("over a selection") << 1 << 3 << 88 << 0 << "x" << 1 << 1 << 3 << "bcd" << "x" << false << "axe\r\nfg";
        QTest::newRow("Delete before CR LF") << 5 << 0 << 46 << 0 << "" << 5 << 1 << 2 << "\r\n" << "" << true << "abcdefg";
        QTest::newRow("Delete before a character") << 0 << 0 << 46 << 0 << "" << 0 << 1 << 1 << "a" << "" << true << "bcde\r\nfg";
        QTest::newRow("Delete at the end") << 9 << 0 << 46 << 0 << "" << 9 << 1 << 0 << "" << "" << true << "abcde\r\nfg";
        QTest::newRow("Shift+Delete") << 1 << 2 << 46 << 1 << "" << 1 << 2 << 2 << "bc" << "" << true << "ade\r\nfg";
        QTest::newRow("Ctrl+Delete") << 1 << 0 << 46 << 2 << "" << 1 << 1 << 1 << "b" << "" << true << "acde\r\nfg";
        QTest::newRow("Backspace after CR LF") << 7 << 0 << 8 << 0 << "\b" << 5 << 0 << 2 << "\r\n" << "" << true << "abcdefg";
        QTest::newRow("Backspace a selection") << 0 << 2 << 8 << 0 << "\b" << 0 << 0 << 2 << "ab" << "" << true << "cde\r\nfg";
        QTest::newRow("Tab over a selection") << 1 << 2 << 9 << 0 << "\t" << 1 << 1 << 2 << "bc" << "\t" << false << "a\tde\r\nfg";
        QTest::newRow("IME commit") << 0 << 0 << int(VirtualKey::Unmapped) << 0 << "\u4e2d\u6587" << 0 << 2 << 0 << "" << "\u4e2d\u6587" << false << "\u4e2d\u6587abcde\r\nfg";
    }
    void recordsWhatTheKeyDoes()
    {
        QFETCH(int, selStart);
        QFETCH(int, selLength);
        QFETCH(int, code);
        QFETCH(int, shift);
        QFETCH(QString, keyText);
        const QString before = QStringLiteral("abcde\r\nfg");
        start(before, selStart, selLength);
        QSignalSpy changed(m_undo.get(), &clsUndo::StateChanged);
        key(code, shift, keyText);
        QTEST(box().Text(), "after");
        QCOMPARE(changed.count(), 1);
        QCOMPARE(m_undo->UndoCount(), 1);
        const clsUndoElement &e = *m_undo->newestUndo();
        QTEST(int(e.Start), "start");
        QTEST(int(e.NewLength), "newLength");
        QTEST(int(e.OldLength), "oldLength");
        QTEST(RichText::toPlain(e.OldText.toString()), "oldText");
        QTEST(e.NewText.toString(), "newText");
        QTEST(e.IsDeletion, "isDeletion");
        QCOMPARE(int(e.UndoCaret), -1);
        QCOMPARE(int(e.RedoCaret), -1);
        const QString after = box().Text();
        m_undo->undo();
        QCOMPARE(box().Text(), before);
        m_undo->Redo();
        QCOMPARE(box().Text(), after);
    }

    // Keys that change no text record nothing; Ctrl keys never reach the box.
    void keysThatRecordNothing_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("shift");
        QTest::addColumn<QString>("keyText");
        QTest::addColumn<int>("caret");
        QTest::newRow("Right moves") << int(VirtualKey::Right) << 0 << "" << 3;
        QTest::newRow("Alt+Right reaches the box") << int(VirtualKey::Right) << 4 << "" << 3;
        QTest::newRow("Alt alone") << int(VirtualKey::Menu) << 4 << "" << 2;
        QTest::newRow("Alt+letter types nothing") << 65 << 4 << "a" << 2;
        QTest::newRow("Escape") << int(VirtualKey::Escape) << 0 << "\x1b" << 2;
        QTest::newRow("Ctrl+Y cancelled") << 89 << 2 << "" << 2;
        QTest::newRow("Ctrl+Right cancelled") << int(VirtualKey::Right) << 2 << "" << 2;
        QTest::newRow("Ctrl+Shift+letter cancelled") << 65 << 3 << "A" << 2;
        QTest::newRow("Backspace at the start") << int(VirtualKey::Back) << 0 << "\b" << 0;
    }
    void keysThatRecordNothing()
    {
        QFETCH(int, code);
        QFETCH(int, shift);
        QFETCH(QString, keyText);
        start(QStringLiteral("abcd"), code == VirtualKey::Back ? 0 : 2);
        QSignalSpy changed(m_undo.get(), &clsUndo::StateChanged);
        key(code, shift, keyText);
        QCOMPARE(box().Text(), QStringLiteral("abcd"));
        QTEST(box().SelStart(), "caret");
        QCOMPARE(m_undo->UndoCount(), 0);
        QCOMPARE(changed.count(), 0);
    }

    void historyRules()
    {
        start(QString());
        QVERIFY(!m_undo->canUndo() && !m_undo->canRedo());
        QSignalSpy changed(m_undo.get(), &clsUndo::StateChanged);
        m_undo->undo();
        m_undo->Redo();
        QCOMPARE(changed.count(), 0);

        type(QStringLiteral("abc"));
        m_undo->undo();
        m_undo->undo();
        QCOMPARE(box().Text(), QStringLiteral("a"));
        QCOMPARE(m_undo->RedoCount(), 2);
        m_undo->Redo();
        QCOMPARE(m_undo->RedoCount(), 1);
        type(QStringLiteral("x"));
        QCOMPARE(m_undo->RedoCount(), 0);
        QCOMPARE(box().Text(), QStringLiteral("abx"));

        m_undo->IgnoreChange(true);
        QVERIFY(!m_undo->canUndo());
        changed.clear();
        type(QStringLiteral("y"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(m_undo->UndoCount(), 3);
        m_undo->undo(); // turns recording back on
        QVERIFY(m_undo->canUndo());
        QCOMPARE(box().Text(), QStringLiteral("aby"));

        m_undo->Reset();
        for (int i = 0; i < 1000; ++i)
            key('Q', 0, QStringLiteral("q"));
        QCOMPARE(m_undo->UndoCount(), 1000);
    }

    void undoOfDeleteLeavesTheCaretAfterTheText()
    {
        start(QStringLiteral("abc\r\nd"), 3);
        m_undo->Delete();
        m_undo->undo();
        QCOMPARE(box().Text(), QStringLiteral("abc\r\nd"));
        QCOMPARE(box().SelStart(), 5);
        QCOMPARE(box().SelLength(), 0);
    }

    void clipboardCommands()
    {
        start(QStringLiteral("abcdefgh"), 2, 3);
        m_undo->Cut();
        QCOMPARE(box().Text(), QStringLiteral("abfgh"));
        QCOMPARE(m_clipboard.GetText(Clipboard::Format::Text), QStringLiteral("cde"));
        QCOMPARE(int(m_undo->newestUndo()->OldLength), 3);
        QVERIFY(m_undo->newestUndo()->IsDeletion);

        m_clipboard.Clear();
        m_clipboard.SetText(QStringLiteral("XY"));
        box().setSelStart(0);
        box().setSelLength(4);
        key(VirtualKey::Insert, 3); // Ctrl+Shift+Insert
        QCOMPARE(box().Text(), QStringLiteral("XYh"));
        QCOMPARE(int(m_undo->newestUndo()->NewLength), 2);
        QCOMPARE(int(m_undo->newestUndo()->OldLength), 4);
        QCOMPARE(m_undo->newestUndo()->OldText.toString(), QStringLiteral("abfg"));
        key(VirtualKey::Insert, 1); // Shift+Insert
        QCOMPARE(box().Text(), QStringLiteral("XYXYh"));

        m_clipboard.Clear();
        box().setSelStart(0);
        box().setSelLength(2);
        m_undo->Paste();
        QCOMPARE(box().Text(), QStringLiteral("XYh"));
        QCOMPARE(int(m_undo->newestUndo()->NewLength), 0);

        // Nothing selected: nothing cut, the clipboard kept.
        m_clipboard.SetText(QStringLiteral("kept"));
        const int count = m_undo->UndoCount();
        m_undo->Cut();
        QCOMPARE(m_undo->UndoCount(), count);
        QCOMPARE(m_clipboard.GetText(), QStringLiteral("kept"));

        while (m_undo->canUndo())
            m_undo->undo();
        QCOMPARE(box().Text(), QStringLiteral("abcdefgh"));
    }

    void richModeRoundTrip()
    {
        m_undo->setRichEditing(true);
        start(QStringLiteral("a{\\rtf1 b}c\r\nd"), 1, 9);
        m_undo->Cut();
        QCOMPARE(m_clipboard.GetText(Clipboard::Format::RichText), RichText::fromPlain(u"{\\rtf1 b}"));
        box().setSelStart(box().TextLength());
        m_undo->Paste();
        m_undo->InsertText(QStringLiteral("{\\rtf1 z}"));
        const QString after = box().Text();
        QCOMPARE(after, QStringLiteral("ac\r\nd{\\rtf1 b}{\\rtf1 z}"));
        for (int i = 0; i < 3; ++i)
            m_undo->undo();
        QCOMPARE(box().Text(), QStringLiteral("a{\\rtf1 b}c\r\nd"));
        for (int i = 0; i < 3; ++i)
            m_undo->Redo();
        QCOMPARE(box().Text(), after);
    }

    void insertText()
    {
        start(QStringLiteral("ab"), 1);
        QSignalSpy changed(m_undo.get(), &clsUndo::StateChanged);
        m_undo->InsertText(QStringLiteral("x\ry"));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(box().Text(), QStringLiteral("ax\r\nyb"));
        m_undo->InsertText(QStringLiteral("z"), true);
        QCOMPARE(changed.count(), 1);
        m_undo->undo();
        m_undo->undo();
        QCOMPARE(box().Text(), QStringLiteral("ab"));
        m_undo->Redo();
        QCOMPARE(box().Text(), QStringLiteral("ax\r\nyb"));
        QCOMPARE(box().SelStart(), 5);
    }

    void tabAtTheStart()
    {
        start(QStringLiteral("x\r\ny"));
        QSignalSpy changed(m_undo.get(), &clsUndo::StateChanged);
        key(VirtualKey::Tab, 0, QStringLiteral("\t"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(box().Text(), QStringLiteral("\tx\r\ny"));
        m_undo->undo();
        QCOMPARE(box().Text(), QStringLiteral("x\r\ny"));
        m_undo->Redo();
        QCOMPARE(box().Text(), QStringLiteral("\tx\r\ny"));
        QCOMPARE(box().SelStart(), 1);

        // Recording off at the key-down: the key-up completes nothing.
        m_undo->IgnoreChange(true);
        key(VirtualKey::Tab, 0, QStringLiteral("\t"));
        QCOMPARE(m_undo->newestUndo()->NewText.toString(), QStringLiteral("\t"));
        QCOMPARE(int(m_undo->newestUndo()->Start), 0);
    }

    void selectionCommandsKeepTheView()
    {
        QStringList lines;
        for (int i = 0; i < 40; ++i)
            lines << QStringLiteral("line %1").arg(i, 2, 10, QLatin1Char('0'));
        start(lines.join(QStringLiteral("\r\n")));
        box().setSelStart(20 * 9 + 3);
        box().Scroll(EditBox::ScrollAction::LineUp);
        const int top = box().FirstVisibleLine();
        key('T', 2);
        QCOMPARE(box().SelStart(), 0);
        QCOMPARE(box().SelLength(), 20 * 9 + 3);
        QCOMPARE(box().FirstVisibleLine(), top);
        box().setSelStart(10);
        box().setSelLength(5);
        key('B', 2);
        QCOMPARE(box().SelStart(), 15);
        QCOMPARE(box().SelLength(), box().TextLength() - 15);
        key('A', 2);
        QCOMPARE(box().SelLength(), box().TextLength());
        QVERIFY(box().hasFocus());
        QCOMPARE(m_undo->UndoCount(), 0);

        ScrollToLine(1000, box());
        QCOMPARE(box().FirstVisibleLine(), box().LineCount() - 5);
        ScrollToLine(3, box());
        QCOMPARE(box().FirstVisibleLine(), 3);
    }

    void modifiedFollowsUndo()
    {
        start(QStringLiteral("saved"), 5);
        type(QStringLiteral("ab"));
        QVERIFY(box().isModified());
        m_undo->undo();
        QVERIFY(box().isModified());
        m_undo->undo();
        QVERIFY(!box().isModified());
        m_undo->Redo();
        box().setModified(false); // saved here
        m_undo->Redo();
        QVERIFY(box().isModified());
        m_undo->undo();
        QVERIFY(!box().isModified());
        m_undo->undo();
        type(QStringLiteral("c")); // the saved text is now out of reach
        m_undo->undo();
        QVERIFY(box().isModified());
    }

    void paintingSuspendedOncePerCommand()
    {
        start(QStringLiteral("abc"), 1);
        key('Z', 0, QStringLiteral("z"));
        key('Z', 2); // undo inside the key handler
        key('T', 2);
        QCOMPARE(m_paintPairs, 3);
    }

    // Any sequence of edits: every step undoes and redoes to the exact text.
    void randomEditsUndoAndRedoExactly()
    {
        const quint32 seed = qEnvironmentVariableIsSet("SEED") ? quint32(qEnvironmentVariableIntValue("SEED")) : 6;
        QRandomGenerator random(seed);
        for (int run = 0; run < 300; ++run) {
            const QString first = QStringLiteral("bind \"w\" \"+forward\"\r\nfps_max 120\r\n\r\nx");
            start(first);
            HistoryCheck history(first);
            for (int step = 0; step < 40; ++step) {
                const EditAction action = randomEditAction(random, box().TextLength());
                if (!applyCommonAction(action, *m_undo, box())) {
                    if (action.kind == EditAction::Commit)
                        box().commitText(action.text);
                    else
                        key(VirtualKey::fromQtKey(action.key, action.modifiers), VirtualKey::shiftState(action.modifiers),
                            action.text);
                }
                const QString problem = history.afterStep(*m_undo, box().Text(), action.movesHistory());
                QVERIFY2(problem.isEmpty(), qPrintable(QStringLiteral("seed %1 run %2 step %3 after %4: %5")
                                                           .arg(seed).arg(run).arg(step).arg(action.describe(), problem)));
            }
            while (m_undo->canUndo()) {
                m_undo->undo();
                QVERIFY2(history.afterStep(*m_undo, box().Text(), true).isEmpty(), qPrintable(QString::number(seed)));
            }
            QCOMPARE(box().Text(), first);
            while (m_undo->canRedo()) {
                m_undo->Redo();
                QVERIFY2(history.afterStep(*m_undo, box().Text(), true).isEmpty(), qPrintable(QString::number(seed)));
            }
        }
    }
};

QTEST_APPLESS_MAIN(tst_clsUndo)
#include "tst_clsUndo.moc"
