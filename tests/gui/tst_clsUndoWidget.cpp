#include "core/undo/RandomEdits.h"

#include "editbox/MemoryClipboard.h"
#include "editbox/MemoryEditBox.h"
#include "gui/RichTextBox.h"
#include "editbox/VirtualKey.h"
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

    // Random real events on the widget and the same on the in-memory box:
    // both hold the same text and selection at every step, and the history
    // gives back every earlier text exactly. SEED=n replays a failure.
    void widgetAgreesWithMemoryBox()
    {
        const quint32 seed = qEnvironmentVariableIsSet("SEED") ? quint32(qEnvironmentVariableIntValue("SEED")) : 2026;
        MemoryClipboard modelClipboard;
        MemoryEditBox model(modelClipboard, 12);
        clsUndo modelUndo;
        modelUndo.setRichBox(&model);
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
