#include "completion/CompletionKeys.h"
#include "editbox/MemoryClipboard.h"
#include "editbox/MemoryEditBox.h"
#include "editbox/VirtualKey.h"
#include "undo/clsUndo.h"

#include <QTest>

using Action = CompletionKeys::Action;

class tst_CompletionKeys : public QObject
{
    Q_OBJECT

private slots:
    void route_data()
    {
        QTest::addColumn<bool>("open");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("shift");
        QTest::addColumn<Action>("action");
        using namespace VirtualKey;
        // Closed: every key keeps its meaning, the list's keys included.
        for (const int key : {int(Up), int(Down), int(Prior), int(Next), int(Tab), int(Return), int(Escape), int('A')})
            QTest::addRow("closed %d", key) << false << key << 0 << Action::Type;
        QTest::newRow("open Up") << true << int(Up) << 0 << Action::Up;
        QTest::newRow("open Down") << true << int(Down) << 0 << Action::Down;
        QTest::newRow("open Page Up") << true << int(Prior) << 0 << Action::PageUp;
        QTest::newRow("open Tab") << true << int(Tab) << 0 << Action::Take;
        QTest::newRow("open Enter") << true << int(Return) << 0 << Action::Take;
        QTest::newRow("open Escape") << true << int(Escape) << 0 << Action::Close;
        // Open: the rest types and narrows, or moves the caret as always.
        QTest::newRow("open letter") << true << int('A') << 0 << Action::Type;
        QTest::newRow("open Ctrl+Up") << true << int(Up) << 2 << Action::Type;
        QTest::newRow("open Shift+Tab") << true << int(Tab) << 1 << Action::Take;
    }

    void route()
    {
        QFETCH(bool, open);
        QFETCH(int, key);
        QFETCH(int, shift);
        QTEST(CompletionKeys::route(open, key, shift), "action");
    }

    void opensWithCtrlSpace()
    {
        QVERIFY(CompletionKeys::opensList(VirtualKey::Space, 2));
        QVERIFY(!CompletionKeys::opensList(VirtualKey::Space, 0));
        QVERIFY(!CompletionKeys::opensList(VirtualKey::Space, 3));
    }

    // Typed keys, then the item taken: one undo gives the typed word back.
    void takingIsOneUndo()
    {
        MemoryClipboard clipboard;
        MemoryEditBox box(clipboard);
        clsUndo undo;
        undo.setRichBox(&box);
        box.setText("fps_max 100\r\n");
        undo.Reset();
        box.setSelStart(box.TextLength());
        for (const QChar c : QStringLiteral("cl_up"))
            box.pressKey(c.toUpper().unicode(), 0, c);
        QCOMPARE(box.Text(), "fps_max 100\r\ncl_up");
        const int typed = undo.UndoCount();
        CompletionKeys::take(undo, box, 13, "cl_updaterate");
        QCOMPARE(box.Text(), "fps_max 100\r\ncl_updaterate");
        QCOMPARE(box.SelStart(), box.TextLength());
        QCOMPARE(undo.UndoCount(), typed + 1);
        undo.undo();
        QCOMPARE(box.Text(), "fps_max 100\r\ncl_up");
        undo.Redo();
        QCOMPARE(box.Text(), "fps_max 100\r\ncl_updaterate");
    }
};

QTEST_GUILESS_MAIN(tst_CompletionKeys)
#include "tst_CompletionKeys.moc"
