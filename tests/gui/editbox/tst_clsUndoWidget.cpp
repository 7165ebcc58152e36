#include "core/undo/RandomEdits.h"

#include "editbox/MemoryClipboard.h"
#include "editbox/MemoryEditBox.h"
#include "gui/editbox/RichTextBox.h"
#include "editbox/VirtualKey.h"
#include "undo/clsUndo.h"

#include <QAccessible>
#include <QApplication>
#include <QDrag>
#include <QInputMethodEvent>
#include <QTest>
#include <QTimer>

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

    // The middle of the character at a position, in the viewport.
    QPoint pointAt(int position) const
    {
        const long at = m_widget->toBuffer(position);
        const int line = int(m_widget->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, at));
        return QPoint(int(m_widget->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, at)) + 2,
                      int(m_widget->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, at))
                          + int(m_widget->SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, line)) / 2);
    }

    void commit(const QString &text, int replaceFrom = 0, int replaceLength = 0)
    {
        QInputMethodEvent event;
        event.setCommitString(text, replaceFrom, replaceLength);
        QCoreApplication::sendEvent(m_widget.get(), &event);
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

    // Typing goes through the undo engine, not the widget's own keys: Up and
    // Down still keep the column the caret was typed to.
    void upAndDownKeepTheTypedColumn()
    {
        start(QStringLiteral("\r\nlonger line"));
        QTest::keyClicks(m_widget.get(), QStringLiteral("abc"));
        QTest::keyClick(m_widget.get(), Qt::Key_Return);
        QTest::keyClicks(m_widget.get(), QStringLiteral("xyz"));
        QTest::keyClick(m_widget.get(), Qt::Key_Up);
        QCOMPARE(m_widget->SelStart(), 3);
        QTest::keyClick(m_widget.get(), Qt::Key_Down);
        QCOMPARE(m_widget->SelStart(), 8);
    }

    void inputMethodTextIsRecorded()
    {
        start(QStringLiteral("abc"));
        m_widget->setSelStart(3);
        commit(QStringLiteral("\u00e9\u4e2d"));
        commit(QStringLiteral("X"), -2, 1); // replaces the "\u00e9"
        commit(QString(), -1, 1);           // deletes the "X"
        m_widget->setSelection(0, 2);
        QInputMethodEvent composing(QStringLiteral("k"), {});
        QCoreApplication::sendEvent(m_widget.get(), &composing); // drops the selection
        commit(QStringLiteral("k"));
        QCOMPARE(m_widget->Text(), QStringLiteral("kc\u4e2d"));
        QCOMPARE(m_undo->UndoCount(), 5);
        while (m_undo->canUndo())
            m_undo->undo();
        QCOMPARE(m_widget->Text(), QStringLiteral("abc"));
    }

    // A click while Tab is held moves the caret before the key-up.
    void tabHeldWhileTheMouseMovesTheCaret()
    {
        start(QStringLiteral("abc\r\ndef"));
        m_widget->setSelStart(1);
        QTest::keyPress(m_widget.get(), Qt::Key_Tab);
        QTest::mouseClick(m_widget->viewport(), Qt::LeftButton, {}, pointAt(m_widget->TextLength()) + QPoint(20, 0));
        QTest::keyRelease(m_widget.get(), Qt::Key_Tab);
        QCOMPARE(m_widget->Text(), QStringLiteral("a\tbc\r\ndef"));
        m_undo->undo();
        QCOMPARE(m_widget->Text(), QStringLiteral("abc\r\ndef"));
    }

    // Every key the platform binds to an edit of a text box either changes
    // nothing or is recorded. Run under xcb too: X11 binds F16, F18, F20.
    void platformEditKeysAreRecorded()
    {
        const QKeySequence::StandardKey edits[] = {
            QKeySequence::Undo, QKeySequence::Redo, QKeySequence::Cut, QKeySequence::Copy, QKeySequence::Paste,
            QKeySequence::Delete, QKeySequence::Backspace, QKeySequence::DeleteStartOfWord,
            QKeySequence::DeleteEndOfWord, QKeySequence::DeleteEndOfLine, QKeySequence::DeleteCompleteLine,
            QKeySequence::InsertParagraphSeparator, QKeySequence::InsertLineSeparator};
        const QString before = QStringLiteral("one two\r\nthree");
        for (const QKeySequence::StandardKey edit : edits) {
            for (const QKeySequence &binding : QKeySequence::keyBindings(edit)) {
                start(before);
                m_widget->setSelection(4, 2);
                m_clipboard.SetText(QStringLiteral("Q"));
                const QKeyCombination chord = binding[0];
                QTest::keyClick(m_widget.get(), chord.key(), chord.keyboardModifiers());
                while (m_undo->canUndo())
                    m_undo->undo();
                QVERIFY2(m_widget->Text() == before, qPrintable(binding.toString() + " changed the text unrecorded"));
            }
        }
    }

    // A screen reader's edits are recorded like typing.
    void assistiveEditsAreRecorded()
    {
        start(QStringLiteral("abc"));
        QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(m_widget.get());
        QAccessibleEditableTextInterface *edit = reader->editableTextInterface();
        QVERIFY(edit);
        edit->insertText(1, QStringLiteral("\x01")); // refused: no one types it
        edit->insertText(1, QStringLiteral("x\ny"));
        edit->replaceText(0, 1, QStringLiteral("Z"));
        edit->deleteText(0, 2);
        QCOMPARE(m_widget->Text(), QStringLiteral("\r\nybc"));
        QCOMPARE(reader->textInterface()->text(0, 4), QStringLiteral("\r\nyb"));
        reader->setText(QAccessible::Value, QStringLiteral("new"));
        QCOMPARE(m_widget->Text(), QStringLiteral("new"));
        while (m_undo->canUndo())
            m_undo->undo();
        QCOMPARE(m_widget->Text(), QStringLiteral("abc"));
    }

    // Dropped elsewhere (the Quick Search box, another program), the text
    // would leave the box unrecorded: drags out only copy.
    void dragsOutOfTheBoxCopy()
    {
        start(QStringLiteral("abc def"));
        m_widget->setSelection(0, 3);
        const QPoint from = pointAt(1);
        QTest::mousePress(m_widget->viewport(), Qt::LeftButton, {}, from);
        // Under X11 the drag runs until the button is let go.
        QTimer::singleShot(300, m_widget.get(), [this, from] {
            QTest::mouseRelease(m_widget->viewport(), Qt::LeftButton, {}, from);
        });
        QTest::mouseMove(m_widget->viewport(), from + QPoint(0, 3 * QApplication::startDragDistance()));
        const QDrag *drag = m_widget->findChild<QDrag *>();
        QVERIFY(drag);
        QCOMPARE(drag->supportedActions(), Qt::CopyAction);
    }

    // Random real events on the widget and the same on the in-memory box:
    // both hold the same text and selection at every step, and the history
    // gives back every earlier text exactly. SEED=n replays a failure.
    void widgetAgreesWithMemoryBox()
    {
        const quint32 seed = qEnvironmentVariableIsSet("SEED") ? qEnvironmentVariable("SEED").toUInt() : 2026;
        MemoryClipboard modelClipboard;
        MemoryEditBox model(modelClipboard, 12);
        clsUndo modelUndo;
        modelUndo.setRichBox(&model);
        int commits = 0;
        const QString problem = runRandomSessions(
            seed, 600, *m_undo, *m_widget,
            [&](const QString &text) {
                start(text);
                model.setText(text);
                modelUndo.Reset();
                modelUndo.setRichEditing(m_undo->RichEditing());
            },
            [&](const EditAction &action) {
                if (!applyCommonAction(action, *m_undo, *m_widget)) {
                    // Every other commit comes from a screen reader, as an edit of the selection.
                    if (action.kind == EditAction::Commit && ++commits % 2 == 0 && !action.text.contains(u'\n')
                        && !action.text.contains(u'\r')) {
                        const int from = m_widget->SelStart();
                        QAccessible::queryAccessibleInterface(m_widget.get())
                            ->editableTextInterface()
                            ->replaceText(from, from + m_widget->SelLength(), action.text);
                    } else if (action.kind == EditAction::Commit)
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
            },
            [&] {
                if (m_widget->Text() != model.Text())
                    return QStringLiteral("widget holds \"%1\", memory box \"%2\"").arg(m_widget->Text(), model.Text());
                if (m_widget->SelStart() != model.SelStart() || m_widget->SelLength() != model.SelLength())
                    return QStringLiteral("widget selects %1+%2, memory box %3+%4")
                        .arg(m_widget->SelStart()).arg(m_widget->SelLength()).arg(model.SelStart()).arg(model.SelLength());
                return QString();
            });
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }
};

QTEST_MAIN(tst_clsUndoWidget)
#include "tst_clsUndoWidget.moc"
