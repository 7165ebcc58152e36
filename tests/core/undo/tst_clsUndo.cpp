#include "core/undo/RandomEdits.h"

#include "editbox/MemoryClipboard.h"
#include "editbox/MemoryEditBox.h"
#include "editbox/RichText.h"
#include "editbox/VirtualKey.h"
#include "undo/LineComments.h"
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
    int m_painting = 0; // suspended now: 1, else 0

    MemoryEditBox &box() { return *m_box; }

    void start(const QString &text, int selStart = 0, int selLength = 0)
    {
        box().setText(text);
        box().setModified(false);
        m_undo->Reset();
        box().setSelStart(selStart);
        box().setSelLength(selLength);
    }

    // The text with "^" as the caret or "|...|" around the selection; gives it without them.
    QString startMarked(QString marked)
    {
        const qsizetype caret = marked.indexOf(u'^');
        const qsizetype from = caret >= 0 ? caret : marked.indexOf(u'|');
        marked.remove(u'^');
        const qsizetype to = caret >= 0 ? caret : marked.lastIndexOf(u'|') - 1;
        marked.remove(u'|');
        start(marked, int(from), int(to - from));
        return marked;
    }

    void key(int code, int shift = 0, const QString &text = {}) { box().pressKey(code, shift, text); }
    void type(const QString &text)
    {
        for (const QChar c : text)
            key(c.toUpper().unicode(), c.isUpper() ? 1 : 0, c);
    }
    void sendAction(const EditAction &action)
    {
        if (applyCommonAction(action, *m_undo, box()))
            return;
        if (action.kind == EditAction::Commit)
            box().commitText(action.text);
        else
            key(VirtualKey::fromQtKey(action.key, action.modifiers), VirtualKey::shiftState(action.modifiers),
                action.text);
    }

private slots:
    void init()
    {
        m_clipboard.Clear();
        // The old engine lets go of its box, so it goes first.
        m_undo.reset();
        m_box = std::make_unique<MemoryEditBox>(m_clipboard, 5);
        m_undo = std::make_unique<clsUndo>();
        m_undo->setWindowHooks({[this](bool suspend) {
                                    QVERIFY(m_painting == (suspend ? 0 : 1));
                                    m_painting = suspend ? 1 : 0;
                                },
                                {},
                                {}});
        m_undo->setRichBox(m_box.get());
    }

    void cleanup() { QCOMPARE(m_painting, 0); }

    // One key on a text ("^" the caret, "|...|" the selection, as for line
    // comments): the text after it ("^": where the caret must be), and one
    // undo step, told once, when it changed the text (none when not). Ctrl
    // keys never reach the box. That every step undoes and redoes exactly is
    // randomEditsUndoAndRedoExactly's.
    void recordsWhatTheKeyDoes_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("shift");
        QTest::addColumn<QString>("keyText");
        QTest::addColumn<QString>("after");
        QTest::newRow("punctuation by its text") << "^abcde\r\nfg" << 186 << 1 << ":" << ":abcde\r\nfg";
        QTest::newRow("AltGr") << "a^bcde\r\nfg" << 81 << 6 << "@" << "a@bcde\r\nfg";
        QTest::newRow("Enter") << "ab^cde\r\nfg" << 13 << 0 << "\r" << "ab\r\ncde\r\nfg";
        QTest::newRow("over a selection") << "a|bcd|e\r\nfg" << 88 << 0 << "x" << "axe\r\nfg";
        QTest::newRow("Delete before CR LF") << "abcde^\r\nfg" << 46 << 0 << "" << "abcdefg";
        QTest::newRow("Shift+Delete") << "a|bc|de\r\nfg" << 46 << 1 << "" << "ade\r\nfg";
        QTest::newRow("Backspace after CR LF") << "abcde\r\n^fg" << 8 << 0 << "\b" << "abcdefg";
        QTest::newRow("Tab over a selection") << "a|bc|de\r\nfg" << 9 << 0 << "\t" << "a\tde\r\nfg";
        QTest::newRow("input method") << "^abcde\r\nfg" << 255 << 0 << "\u4e2d\u6587" << "\u4e2d\u6587abcde\r\nfg";
        QTest::newRow("Alt+Right reaches the box") << "ab^cde\r\nfg" << 39 << 4 << "" << "abc^de\r\nfg";
        QTest::newRow("Alt+letter types nothing") << "ab^cde\r\nfg" << 65 << 4 << "a" << "ab^cde\r\nfg";
        QTest::newRow("Ctrl+Y with nothing to redo") << "ab^cde\r\nfg" << 89 << 2 << "" << "ab^cde\r\nfg";
        QTest::newRow("Ctrl+D cancelled") << "ab^cde\r\nfg" << 68 << 2 << "" << "ab^cde\r\nfg";
        QTest::newRow("Backspace at the start") << "^abcde\r\nfg" << 8 << 0 << "\b" << "^abcde\r\nfg";
        // Ctrl+Backspace takes one word, and the blanks after it.
        QTest::newRow("Ctrl+Backspace: word and blanks") << "bind w \t ^" << 8 << 2 << "" << "bind ";
        QTest::newRow("Ctrl+Backspace: underscores belong") << "x cl_dl_max^" << 8 << 2 << "" << "x ";
        QTest::newRow("Ctrl+Backspace: stops at punctuation") << "x +forward^" << 8 << 2 << "" << "x +";
        QTest::newRow("Ctrl+Backspace: a punctuation run") << "x \";;\"^" << 8 << 2 << "" << "x ";
        QTest::newRow("Ctrl+Backspace: the whole line") << "a\r\nabc^" << 8 << 2 << "" << "a\r\n";
        QTest::newRow("Ctrl+Backspace at a line start") << "abcde\r\n^fg" << 8 << 2 << "" << "abcdefg";
    }
    void recordsWhatTheKeyDoes()
    {
        QFETCH(QString, before);
        QFETCH(int, code);
        QFETCH(int, shift);
        QFETCH(QString, keyText);
        before = startMarked(before);
        QSignalSpy changed(m_undo.get(), &clsUndo::StateChanged);
        key(code, shift, keyText);
        QFETCH(QString, after);
        const qsizetype caret = after.indexOf(u'^');
        after.remove(u'^');
        QCOMPARE(box().Text(), after);
        if (caret >= 0)
            QCOMPARE(box().SelStart(), int(caret));
        const int steps = after == before ? 0 : 1;
        QCOMPARE(m_undo->UndoCount(), steps);
        QCOMPARE(changed.count(), steps);
    }

    // A key the engine would let through, which the platform binds to an
    // edit, is carried out as the engine's command or cancelled; the
    // engine's own keys keep their meaning whatever the binding. A paste
    // takes a lone CR as a line break; a cut of nothing keeps the clipboard.
    void boundKeysGoThroughTheEngine_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("shift");
        QTest::addColumn<KeyEvent::Binding>("bound");
        QTest::addColumn<int>("selLength");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("undoCount");
        QTest::addColumn<QString>("clipboard");
        using B = KeyEvent::Binding;
        const int f = VirtualKey::F1 - 1;
        const int insert = VirtualKey::Insert;
        QTest::newRow("F20 cuts") << f + 20 << 0 << B::Cut << 2 << "ade" << 1 << "bc";
        QTest::newRow("F20 with nothing selected") << f + 20 << 0 << B::Cut << 0 << "abcde" << 0 << "Q\rR";
        QTest::newRow("F16 copies") << f + 16 << 0 << B::Copy << 2 << "abcde" << 0 << "bc";
        QTest::newRow("F18 pastes") << f + 18 << 0 << B::Paste << 2 << "aQ\r\nRde" << 1 << "Q\rR";
        QTest::newRow("other edits cancelled") << f + 13 << 4 << B::OtherEdit << 2 << "abcde" << 0 << "Q\rR";
        QTest::newRow("Shift+Delete deletes") << int(VirtualKey::Delete) << 1 << B::Cut << 2 << "ade" << 1 << "Q\rR";
        QTest::newRow("Shift+Insert pastes") << insert << 1 << B::None << 2 << "aQ\r\nRde" << 1 << "Q\rR";
        QTest::newRow("Ctrl+Shift+Insert pastes") << insert << 3 << B::None << 2 << "aQ\r\nRde" << 1 << "Q\rR";
    }
    void boundKeysGoThroughTheEngine()
    {
        QFETCH(int, code);
        QFETCH(int, shift);
        QFETCH(KeyEvent::Binding, bound);
        QFETCH(int, selLength);
        start(QStringLiteral("abcde"), 1, selLength);
        m_clipboard.SetText(QStringLiteral("Q\rR"));
        KeyEvent down{code, shift, {}, bound};
        m_undo->MyRichTextBox_KeyDown(down);
        QCOMPARE(down.KeyCode, 0);
        QTEST(box().Text(), "after");
        QTEST(m_undo->UndoCount(), "undoCount");
        QTEST(m_clipboard.GetText(), "clipboard");
    }

    // Ctrl+T and Ctrl+B select to the top and to the end, recording nothing;
    // Go To puts its line at the top, or the last lines at the bottom.
    void selectionCommandsAndGoTo()
    {
        QStringList lines;
        for (int i = 0; i < 40; ++i)
            lines << QStringLiteral("line %1").arg(i, 2, 10, QLatin1Char('0'));
        start(lines.join(QStringLiteral("\r\n")), 20 * 9 + 3);
        key('T', 2);
        QCOMPARE(box().SelLength(), 20 * 9 + 3);
        box().setSelection(10, 5);
        key('B', 2);
        QCOMPARE(box().SelStart(), 15);
        QCOMPARE(box().SelLength(), box().TextLength() - 15);
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
        m_undo->undo();
        QVERIFY(box().isModified());
        m_undo->undo();
        QVERIFY(!box().isModified());
        key('Y', 2);
        box().setModified(false); // saved here
        key('R', 2);
        QCOMPARE(box().Text(), QStringLiteral("savedab"));
        QVERIFY(box().isModified());
        m_undo->undo();
        QVERIFY(!box().isModified());
        m_undo->undo();
        type(QStringLiteral("c")); // the saved text is now out of reach
        m_undo->undo();
        QVERIFY(box().isModified());
    }

    // Any sequence of edits: every step undoes and redoes to the exact text.
    void randomEditsUndoAndRedoExactly()
    {
        const quint32 seed = qEnvironmentVariableIsSet("SEED") ? qEnvironmentVariable("SEED").toUInt() : 6;
        const QString problem = runRandomSessions(
            seed, 300, *m_undo, box(), [this](const QString &text) { start(text); },
            [this](const EditAction &action) { sendAction(action); });
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    // Ctrl+/ on the lines the selection touches ("|" marks it, "^" a caret),
    // one undo step, each line keeping its own line end.
    void lineCommentsToggle_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("caret: commented out") << "fps_max 100^" << "// fps_max 100^";
        QTest::newRow("no space after the mark") << "//fps_max^ 100" << "fps_max^ 100";
        QTest::newRow("caret before the mark stays") << "^// x" << "^x";
        QTest::newRow("lines at the least indent") << "|  a\r\n\r\n    b|" << "|  // a\r\n\r\n  //   b|";
        QTest::newRow("a line end closing the selection") << "|a\r\n|b" << "|// a|\r\nb";
        QTest::newRow("one line not commented: all are") << "|// a\nb|" << "|// // a\n// b|";
        QTest::newRow("own line ends kept") << "|a\r\nb\nc\rd|" << "|// a\r\n// b\n// c\r// d|";
        QTest::newRow("all commented: brought back") << "|// a\r\n  // b\n//c|" << "|a\r\n  b\nc|";
        QTest::newRow("blank lines alone: nothing") << "|  \r\n|" << "|  \r\n|";
    }
    void lineCommentsToggle()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        const QString original = startMarked(before);
        LineComments::toggle(*m_undo, box());
        QString shown = box().Text();
        if (box().SelLength() == 0)
            shown.insert(box().SelStart(), u'^');
        else
            shown.insert(box().SelStart() + box().SelLength(), u'|').insert(box().SelStart(), u'|');
        QCOMPARE(shown, after);
        QCOMPARE(m_undo->UndoCount(), before == after ? 0 : 1);
        m_undo->undo();
        QCOMPARE(box().Text(), original);
    }
};

QTEST_APPLESS_MAIN(tst_clsUndo)
#include "tst_clsUndo.moc"
